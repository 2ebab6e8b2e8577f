#pragma once
// Fonts that keep the designed texts within their designed widths on systems without the classic
// 8-point dialog face the windows were laid out with.
#include <QFont>
#include <QString>

class QWidget;

namespace orv {

// The face the windows were laid out for, as the application's font: Liberation Sans, which has
// Arial's metrics (Arial itself where Liberation Sans is missing), at 8 points. Every designed
// window and message box then measures its texts as it was laid out.
QFont DesignedApplicationFont();

// The classic dialog face where installed, otherwise an Arial-metric face at 10 pixels, whose
// glyphs are as narrow.
QFont DesignedDialogFont(const QFont& base);
// Narrows, then shrinks, the widget's font until text fits in width pixels.
void FitFontToWidth(QWidget* widget, const QString& text, int width);

}  // namespace orv
