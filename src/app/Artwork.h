#pragma once

#include <QPixmap>

namespace vorlix::artwork {

// Pictures of the program, drawn rather than shipped, so they stay sharp at
// any device pixel ratio.
QPixmap CzechFlag(int size);
QPixmap EnglishFlag(int size);
QPixmap Logo(int size);
// The program's window icon, and the sizes it is drawn in (also those installed
// for the desktop).
QIcon ProgramIcon();
inline constexpr int kProgramIconSizes[] = {16, 24, 32, 48, 64, 128};

}  // namespace vorlix::artwork
