// The programming order as the order dialog edits it: a list of texts (device list names,
// "Reboot", "Wait N sec.") that become the 16-bit step codes of a ProgramOrder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "firmware/firmware_packet.h"

namespace tarvo::ui {

inline constexpr const char* kRebootStepText = "Reboot";
// A run waits for the low 8 bits of a wait step, so the dialog takes 0..255 seconds only.
inline constexpr int kMaxWaitSeconds = 255;

// The nine device list names in device-index order, as the dialog's available list starts.
std::vector<std::string> InitialAvailableDevices();

// "Wait %d sec."
std::string WaitStepText(int seconds);

// The whole seconds 0..kMaxWaitSeconds a wait field holds (blanks around the number allowed);
// nothing for any other input.
std::optional<int> ParseWaitSeconds(std::string_view field);

// True for entries that are not devices: taking them out of the order drops them.
bool IsPauseStepText(std::string_view text);

// The step code of one ordered-list text.
std::uint16_t OrderStepFromText(std::string_view text);

// Writes the ordered texts into the order: at most capacity - 1 steps (further texts are
// dropped), then ORDER_END. Steps behind the end keep what they held.
void FillOrder(const std::vector<std::string>& texts, std::size_t capacity, ProgramOrder& order);

}  // namespace tarvo::ui
