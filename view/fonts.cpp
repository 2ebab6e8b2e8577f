#include "view/fonts.h"

#include <QFontMetrics>
#include <QWidget>

namespace orv {

QFont DesignedApplicationFont() {
  QFont face;
  face.setFamilies({"Liberation Sans", "Arial"});
  face.setPointSize(8);
  return face;
}

QFont DesignedDialogFont(const QFont& base) {
  QFont face = base;
  face.setFamilies({"MS Sans Serif", "Arial", "Liberation Sans", "Nimbus Sans"});
  face.setPixelSize(10);
  return face;
}

void FitFontToWidth(QWidget* widget, const QString& text, int width) {
  QFont font = widget->font();
  for (int stretch : {QFont::SemiCondensed, QFont::Condensed}) {
    if (QFontMetrics(font).horizontalAdvance(text) <= width) break;
    font.setStretch(stretch);
  }
  while (QFontMetrics(font).horizontalAdvance(text) > width && font.pointSizeF() > 6) {
    font.setPointSizeF(font.pointSizeF() - 0.5);
  }
  widget->setFont(font);
}

}  // namespace orv
