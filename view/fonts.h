#pragma once
// Fonts that keep the designed texts within their designed widths on systems without the classic
// 8-point dialog face the windows were laid out with.
#include <QFont>
#include <QString>

class QWidget;

namespace orv {

// The classic dialog face where installed, otherwise an Arial-metric face at 10 pixels, whose
// glyphs are as narrow.
QFont DesignedDialogFont(const QFont& base);
// Narrows, then shrinks, the widget's font until text fits in width pixels.
void FitFontToWidth(QWidget* widget, const QString& text, int width);

}  // namespace orv
