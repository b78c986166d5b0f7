// The program's icon, drawn at run time so that no picture file has to travel with it.
#pragma once

#include <QIcon>

namespace tarvo::ui {

QIcon ProgramIcon();

}  // namespace tarvo::ui
