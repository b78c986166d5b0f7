#include "ui/order_steps.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "firmware/device_catalogue.h"
#include "log/format_text.h"

namespace tarvo::ui {
namespace {

constexpr std::string_view kWaitMarker = "Wait ";
constexpr std::string_view kWaitWord = "Wait";

// A signed decimal number at the start of the text, as strtol reads it; 0 when none.
long LeadingNumber(std::string_view text) {
  const std::string copy(text);
  return std::strtol(copy.c_str(), nullptr, 10);
}

}  // namespace

std::vector<std::string> InitialAvailableDevices() {
  std::vector<std::string> names;
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    names.emplace_back(DeviceListName(device));
  }
  return names;
}

std::string WaitStepText(int seconds) {
  return FormatText("Wait %d sec.", seconds);
}

std::optional<int> ParseWaitSeconds(std::string_view field) {
  const auto isBlank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!field.empty() && isBlank(field.front())) field.remove_prefix(1);
  while (!field.empty() && isBlank(field.back())) field.remove_suffix(1);
  if (field.empty() || field.size() > 3) return std::nullopt;
  if (!std::all_of(field.begin(), field.end(),
                   [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; })) {
    return std::nullopt;
  }
  const int seconds = static_cast<int>(LeadingNumber(field));
  if (seconds > kMaxWaitSeconds) return std::nullopt;
  return seconds;
}

bool IsPauseStepText(std::string_view text) {
  return text.find(kRebootStepText) != std::string_view::npos ||
         text.find(kWaitWord) != std::string_view::npos;
}

std::uint16_t OrderStepFromText(std::string_view text) {
  if (text.find(kRebootStepText) != std::string_view::npos) return ORDER_REBOOT;
  if (text.find(kWaitMarker) != std::string_view::npos) {
    const std::string_view number =
        text.size() > kWaitMarker.size() ? text.substr(kWaitMarker.size()) : std::string_view{};
    return static_cast<std::uint16_t>(static_cast<std::uint16_t>(LeadingNumber(number)) |
                                      ORDER_WAIT);
  }
  // Only the dialog's own texts reach here; an unknown text ends the order rather than
  // naming some other device.
  const std::optional<DeviceIndex> device = DeviceIndexFromListName(text);
  return device ? static_cast<std::uint16_t>(*device) : ORDER_END;
}

void FillOrder(const std::vector<std::string>& texts, std::size_t capacity, ProgramOrder& order) {
  if (capacity == 0) return;
  capacity = std::min<std::size_t>(capacity, order.size());
  order[0] = ORDER_END;
  const std::size_t steps = std::min(texts.size(), capacity - 1);
  for (std::size_t i = 0; i < steps; ++i) order[i] = OrderStepFromText(texts[i]);
  order[steps] = ORDER_END;
}

}  // namespace tarvo::ui
