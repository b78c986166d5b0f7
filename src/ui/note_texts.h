// The notes a user must accept before the programmer window opens, in the pieces the note
// list receives them. In emergency mode the emergency note comes first, then the standard one.
#pragma once

#include <span>

namespace tarvo::ui {

std::span<const char* const> EmergencyNotePieces();
std::span<const char* const> StandardNotePieces();

inline constexpr const char* kNoteTitle = "Important Note!";
inline constexpr const char* kNoteAcceptCaption = "&OK, I know!";
inline constexpr const char* kNoteCancelCaption = "&Cancel";

}  // namespace tarvo::ui
