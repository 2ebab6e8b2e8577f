#pragma once
// The magnifying glass that marks the cross (a picture and its two-colour mask) and the program icon.
#include <QImage>

namespace samplemaps {

// The glass: an 80 x 82 picture on white and its mask (1 where the glass is drawn).
void MakeGlass(QImage& picture, QImage& mask);
// The icon: a corner of the world map on a folded sheet, with the glass over it.
QImage MakeIcon(const QImage& worldMap, const QImage& glass, const QImage& glassMask, int size);

}  // namespace samplemaps
