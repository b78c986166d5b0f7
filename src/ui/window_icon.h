// The program's icon: the installed one from the desktop's icon theme, otherwise one drawn at
// run time, so that a program run from its build folder has its icon too.
#pragma once

#include <QIcon>

namespace tarvo::ui {

// Name of the icon and desktop entry an installation provides.
inline constexpr const char* kProgramIconName = "orva-tarvo-programmer";

QIcon ProgramIcon();

}  // namespace tarvo::ui
