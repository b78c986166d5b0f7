#include "ui/note_texts.h"

namespace tarvo::ui {
namespace {

constexpr const char* kEmergencyNote[] = {
    "Important Note, please read carefully:\n\n",
    "You are starting the programmer utility in a special\n",
    "mode called \"emergency mode\". This mode is used\n",
    "to repair the camera firmware.\n\n",
    "You ought to know, that wrong usage might damage\n",
    "the camera irreversibly!\n\n",
    "PLEASE USE THIS MODE ONLY WHEN YOU ARE\n",
    "EXPLICITLY INSTRUCTED TO DO SO BY QUALIFIED\n",
    "SERVICE PERSONNEL OF THE MANUFACTURER!\n",
};

// The last piece has no line break: it stays the list's unfinished last line.
constexpr const char* kStandardNote[] = {
    "Important Notes, please read carefully:\n\n",
    "This program is used to update the camera firmware\n",
    "of orva.tarvo cameras.\n\n",
    "* Connect only the camera to be updated at the\n",
    "   selected interface, no other cameras!\n\n",
    "* Updating the camera via USB is preferred, as the\n",
    "   time to connect to the camera is shorter than\n",
    "   with Gigabit Ethernet.\n\n",
    "* Do not switch off or disconnect the camera during\n",
    "   camera during the update!\n\n",
    "* A log file and a firmware backup file will be created\n",
    "   during the update. You may delete these files if\n",
    "   you are sure that the updated camera works well.\n",
    "   See also button \"Support\" for location of the files.",
};

}  // namespace

std::span<const char* const> EmergencyNotePieces() {
  return kEmergencyNote;
}

std::span<const char* const> StandardNotePieces() {
  return kStandardNote;
}

}  // namespace tarvo::ui
