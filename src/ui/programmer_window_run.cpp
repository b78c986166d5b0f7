#include "ui/tarvo_prog.h"

namespace tarvo::ui {

// The programmer window arrives with the engine's window object.
void CTARVO_PROG::RunProgrammerWindow(StartModes) {}

}  // namespace tarvo::ui
