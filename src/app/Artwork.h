#pragma once

#include <QPixmap>

namespace vorlix::artwork {

// Pictures of the program, drawn rather than shipped, so they stay sharp at
// any device pixel ratio.
QPixmap CzechFlag(int size);
QPixmap EnglishFlag(int size);
QPixmap Logo(int size);
// The program's window icon.
QIcon ProgramIcon();

}  // namespace vorlix::artwork
