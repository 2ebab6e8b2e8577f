#pragma once
// The two coordinate panels below the map (".Where Coordinates" and "Sextant Coordinates") as plain
// texts, and the routines that read and fill them. No widgets here: the main window copies the
// texts from and to its edit boxes.
#include <QString>
#include <cstdint>
#include <optional>
#include <string>

#include "core/geometry.h"
#include "core/transform.h"

namespace orv {

// The eight boxes of the two panels, named after their controls.
struct CoordinatePanelTexts {
  QString Edit1;      // world x
  QString Edit2;      // world y
  QString Edit4;      // latitude degrees
  QString Edit5;      // longitude degrees
  QString Edit6;      // latitude minutes
  QString Edit7;      // longitude minutes
  QString ComboBox1;  // latitude letter
  QString ComboBox2;  // longitude letter
  friend bool operator==(const CoordinatePanelTexts&, const CoordinatePanelTexts&) = default;
};

// Where a refresh takes its world point from.
enum class PanelSource {
  FromMapPixel = 1,       // a zoomed map pixel (a, b)
  FromWhereFields = 2,    // the numbers in the ".where" boxes, 0 for text that is not one
  FromSextantFields = 3,  // the reading in the sextant boxes
  FromWorld = 4,          // the world point (a, b)
};

// A number typed in a box: a decimal integer with optional leading blanks and sign that fits in 32
// bits; anything else gives fallback.
int32_t PanelNumber(const QString& text, int32_t fallback);
// A hemisphere letter typed in a letter box, with the ASCII letters upper-cased.
std::string PanelLetter(const QString& text);

// The world point of the reading typed in the sextant boxes (numbers default to 0).
Point SextantPanelWorld(const CoordinatePanelTexts& texts);

// The texts that show a world point: the world point and its reading when the point lies in the
// world (edges included), otherwise (or when there is no point at all) eight empty texts.
CoordinatePanelTexts PanelTextsFor(std::optional<Point> world);

// A refresh: the world point it shows (none when the corners cannot convert the map pixel) and the
// panels' texts for it.
struct PanelRefresh {
  std::optional<Point> world;
  CoordinatePanelTexts texts;
};

// The refresh from source with the arguments (a, b), given the texts the panels hold now. No result
// for an unknown source: the panels stay as they are. A map pixel that the corners cannot convert,
// and a point outside the world, empty the panels.
std::optional<PanelRefresh> RefreshPanels(const CoordinatePanelTexts& current, int32_t a, int32_t b,
                                          PanelSource source, const MapCorners& corners, int32_t zoomPercent);

}  // namespace orv
