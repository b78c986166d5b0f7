// The program's look: one widget style and palette on every desktop, so that the window and
// its dialogs look the same wherever the program runs.
#pragma once

namespace tarvo::ui {

// Call once, after the application object exists and before any window is made.
void ApplyProgramLook();

}  // namespace tarvo::ui
