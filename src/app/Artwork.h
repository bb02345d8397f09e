#pragma once

#include <QPixmap>

class QPainter;

namespace vorlix::artwork {

// Pictures of the program, drawn rather than shipped, so they stay sharp at
// any device pixel ratio. Each draws into the square from (0, 0) to
// (size, size) of the painter, in the painter's units (PictureLabel::Drawing).
void PaintCzechFlag(QPainter& painter, double size);
void PaintEnglishFlag(QPainter& painter, double size);
void PaintLogo(QPainter& painter, double size);
// The logo as a bitmap of `size` pixels, for icons.
QPixmap Logo(int size);
// The program's window icon, and the sizes it is drawn in (also those installed
// for the desktop).
QIcon ProgramIcon();
inline constexpr int kProgramIconSizes[] = {16, 24, 32, 48, 64, 128};

}  // namespace vorlix::artwork
