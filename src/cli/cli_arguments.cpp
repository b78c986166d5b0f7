#include "cli/cli_arguments.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "log/format_text.h"

namespace tarvo::cli {

namespace {

constexpr std::size_t kMaxOrderSteps = PROGRAM_ORDER_STEPS - 1;  // room for the end mark
constexpr unsigned kMaxWaitSeconds = 255;

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

bool ParseUnsigned(std::string_view text, unsigned* value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::optional<DeviceIndex> ParseDevice(std::string_view text) {
  text = Trim(text);
  unsigned index = 0;
  if (ParseUnsigned(text, &index)) {
    if (IsDeviceIndex(index)) return index;
    return std::nullopt;
  }
  for (DeviceIndex device = 0; device < kDeviceCount; ++device) {
    if (EqualIgnoringCase(text, DeviceDisplayName(device)) ||
        EqualIgnoringCase(text, DeviceListName(device))) {
      return device;
    }
  }
  return std::nullopt;
}

bool ParseOrderSteps(std::string_view text, ProgramOrder* order, std::vector<DeviceIndex>* devices,
                     std::string* error) {
  order->fill(ORDER_END);
  devices->clear();
  std::size_t steps = 0;
  while (true) {
    const std::size_t comma = text.find(',');
    const std::string_view step = Trim(text.substr(0, comma));
    if (steps == kMaxOrderSteps) {
      *error = FormatText("Too many steps: a programming order holds at most %zu.", kMaxOrderSteps);
      return false;
    }
    std::uint16_t code = 0;
    unsigned seconds = 0;
    if (EqualIgnoringCase(step, "reboot")) {
      code = ORDER_REBOOT;
    } else if (step.size() > 5 && EqualIgnoringCase(step.substr(0, 5), "wait:")) {
      if (!ParseUnsigned(step.substr(5), &seconds) || seconds > kMaxWaitSeconds) {
        *error = FormatText("Bad wait step '%.*s': seconds must be 0..255.",
                            static_cast<int>(step.size()), step.data());
        return false;
      }
      code = static_cast<std::uint16_t>(ORDER_WAIT | seconds);
    } else if (const std::optional<DeviceIndex> device = ParseDevice(step)) {
      if (std::find(devices->begin(), devices->end(), *device) != devices->end()) {
        *error = FormatText("Device '%s' is named twice in the order.", DeviceDisplayName(*device));
        return false;
      }
      devices->push_back(*device);
      code = static_cast<std::uint16_t>(*device);
    } else {
      *error =
          FormatText("Bad step '%.*s': expected a device (0..8 or its name), reboot or wait:N.",
                     static_cast<int>(step.size()), step.data());
      return false;
    }
    (*order)[steps++] = code;
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return true;
}

bool ParseImageArgument(std::string_view text, DeviceIndex* device, std::string* path,
                        std::string* error) {
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos || equals + 1 == text.size()) {
    *error = FormatText("Bad image '%.*s': expected DEV=FILE.", static_cast<int>(text.size()),
                        text.data());
    return false;
  }
  const std::optional<DeviceIndex> parsed = ParseDevice(text.substr(0, equals));
  if (!parsed) {
    *error = FormatText("Bad device in image '%.*s': expected 0..8 or a device name.",
                        static_cast<int>(text.size()), text.data());
    return false;
  }
  *device = *parsed;
  *path = std::string(text.substr(equals + 1));
  return true;
}

}  // namespace tarvo::cli
