#include "view/coordinatepanels.h"

#include "core/numbers.h"
#include "core/sextant.h"
#include "view/text.h"

namespace orv {

int32_t PanelNumber(const QString& text, int32_t fallback) {
  // Any character outside ASCII makes the text a non-number, and UTF-8 keeps ASCII as it is.
  return IntOr(text.toStdString(), fallback);
}

std::string PanelLetter(const QString& text) {
  QString upper = text;
  for (QChar& ch : upper) {
    if (ch >= QChar('a') && ch <= QChar('z')) ch = QChar(ch.unicode() - 'a' + 'A');
  }
  // A letter that Windows-1252 cannot hold is no hemisphere letter either; any stand-in that is
  // neither "N" nor "W" reads the same.
  return ToBytes(upper).value_or("?");
}

Point SextantPanelWorld(const CoordinatePanelTexts& texts) {
  return SextantToWorld(PanelNumber(texts.Edit4, 0), PanelLetter(texts.ComboBox1),
                        PanelNumber(texts.Edit6, 0), PanelNumber(texts.Edit5, 0),
                        PanelLetter(texts.ComboBox2), PanelNumber(texts.Edit7, 0));
}

CoordinatePanelTexts PanelTextsFor(std::optional<Point> world) {
  CoordinatePanelTexts texts;
  if (!world || !InsideWorld(*world)) return texts;
  const TSextantreading reading = WorldToSextant(*world);
  texts.Edit1 = QString::number(world->x);
  texts.Edit2 = QString::number(world->y);
  texts.Edit4 = QString::number(reading.LatDegrees);
  texts.ComboBox1 = FromBytes(reading.LatLetter);
  texts.Edit6 = QString::number(reading.LatMinutes);
  texts.Edit5 = QString::number(reading.LonDegrees);
  texts.ComboBox2 = FromBytes(reading.LonLetter);
  texts.Edit7 = QString::number(reading.LonMinutes);
  return texts;
}

std::optional<PanelRefresh> RefreshPanels(const CoordinatePanelTexts& current, int32_t a, int32_t b,
                                          PanelSource source, const MapCorners& corners,
                                          int32_t zoomPercent) {
  std::optional<Point> world;
  switch (source) {
    case PanelSource::FromMapPixel:
      world = MapPixelToWorld(corners, zoomPercent, {a, b});
      break;
    case PanelSource::FromWhereFields:
      world = Point{PanelNumber(current.Edit1, 0), PanelNumber(current.Edit2, 0)};
      break;
    case PanelSource::FromSextantFields:
      world = SextantPanelWorld(current);
      break;
    case PanelSource::FromWorld:
      // The ".where" boxes take the point first and are then read back like source 2, which gives
      // the point itself.
      world = Point{a, b};
      break;
    default:
      return std::nullopt;
  }
  return PanelRefresh{world, PanelTextsFor(world)};
}

}  // namespace orv
