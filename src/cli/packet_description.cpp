#include "cli/packet_description.h"

#include "cli/cli_arguments.h"
#include "firmware/device_catalogue.h"
#include "log/format_text.h"

namespace tarvo::cli {

namespace {

std::string ImageTimeText(const ImageVersion& version) {
  return FormatText("%02d.%02d.%04d %02d:%02d", version.day, version.month, version.year,
                    version.hour, version.minute);
}

// A packet's texts come from the file: control characters and bytes beyond ASCII are shown as
// \xNN, so that they can neither steer the terminal nor break the JSON document.
std::string EscapedText(const std::string& text) {
  std::string shown;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F) {
      shown += FormatText("\\x%02x", byte);
    } else {
      if (c == '\\') shown += '\\';
      shown += c;
    }
  }
  return shown;
}

nlohmann::json DescribeEntry(std::size_t number, const PacketEntryInfo& entry) {
  nlohmann::json json;
  json["entry"] = number;
  json["device"] = entry.deviceIndex;
  json["device_name"] = DeviceNameOrIndex(entry.deviceIndex);
  json["data_offset"] = entry.dataOffset;
  json["start"] = entry.startAddress;
  // An empty image has no last byte.
  json["end"] = entry.size == 0
                    ? nlohmann::json()
                    : nlohmann::json(std::uint64_t{entry.startAddress} + entry.size - 1);
  json["size"] = entry.size;
  json["version"] =
      FormatDeviceVersion(entry.version.variant, entry.version.major, entry.version.minor);
  json["variant"] = entry.version.variant;
  json["major"] = entry.version.major;
  json["minor"] = entry.version.minor;
  json["image_time"] = ImageTimeText(entry.version);
  return json;
}

nlohmann::json DescribeOrder(const ProgramOrder& order) {
  nlohmann::json steps = nlohmann::json::array();
  for (std::uint16_t code : order) {
    if (code == ORDER_END) break;
    steps.push_back({{"code", code}, {"step", DescribeOrderStep(code)}});
  }
  return steps;
}

}  // namespace

nlohmann::json DescribePacket(const CFirmwarePacket& packet, const std::string& path) {
  PacketHeaderInfo header;
  ProgramOrder order{};
  nlohmann::json json;
  if (!packet.GetHeader(&header) || !packet.GetOrder(&order)) return json;
  json["file"] = path;
  json["header_text"] = header.headerText;
  json["format_version"] = header.formatVersion;
  json["header_size"] = header.headerSize;
  json["creation_text"] = EscapedText(header.creationText);
  json["length"] = header.fileLength;
  json["check_word"] = FormatText("%08x", header.checkWord);
  json["check"] = "passed";
  json["entry_count"] = header.entryCount;
  nlohmann::json entries = nlohmann::json::array();
  const std::vector<PacketEntryInfo> loaded = packet.LoadedEntries();
  for (std::size_t number = 0; number < loaded.size(); ++number) {
    entries.push_back(DescribeEntry(number, loaded[number]));
  }
  json["entries"] = entries;
  json["order"] = DescribeOrder(order);
  bool ended = false;
  bool allZero = true;
  for (std::uint16_t code : order) {
    ended = ended || code == ORDER_END;
    allZero = allZero && code == 0;
  }
  json["order_ends"] = ended;
  json["order_stored"] = !allZero;
  return json;
}

std::string PacketDescriptionText(const nlohmann::json& json) {
  std::string text;
  auto line = [&text](const std::string& content) { text += content + "\n"; };
  line("File:            " + json["file"].get<std::string>());
  line("Header text:     " + json["header_text"].get<std::string>());
  line(FormatText("Format version:  %d", json["format_version"].get<int>()));
  line(FormatText("Header size:     %d", json["header_size"].get<int>()));
  line("Creation text:   " + json["creation_text"].get<std::string>());
  line(FormatText("Length:          %u bytes", json["length"].get<std::uint32_t>()));
  line("Check:           " + json["check"].get<std::string>() + " (check word " +
       json["check_word"].get<std::string>() + ")");
  const int count = json["entry_count"].get<int>();
  if (count > static_cast<int>(PACKET_MAX_ENTRIES)) {
    line(
        FormatText("Entries:         %d (more than the %u the header has room for; the first %u "
                   "are shown)",
                   count, PACKET_MAX_ENTRIES, PACKET_MAX_ENTRIES));
  } else {
    line(FormatText("Entries:         %d", count));
  }
  line("  #  Device       Start     End       Size      Version     Image time");
  for (const nlohmann::json& entry : json["entries"]) {
    const std::string end =
        entry["end"].is_null()
            ? std::string("-")
            : FormatText("%08llx",
                         static_cast<unsigned long long>(entry["end"].get<std::uint64_t>()));
    line(FormatText("  %-2d %-12s %08x  %-8s  %-9u %-11s %s", entry["entry"].get<int>(),
                    entry["device_name"].get<std::string>().c_str(),
                    entry["start"].get<std::uint32_t>(), end.c_str(),
                    entry["size"].get<std::uint32_t>(), entry["version"].get<std::string>().c_str(),
                    entry["image_time"].get<std::string>().c_str()));
  }
  line("Programming order:");
  if (!json["order_stored"].get<bool>()) {
    line("  none stored (all 64 codes are zero, as in a backup)");
    return text;
  }
  int number = 1;
  for (const nlohmann::json& step : json["order"]) {
    line(FormatText("  %2d. %s", number++, step["step"].get<std::string>().c_str()));
  }
  line(json["order_ends"].get<bool>() ? "  End" : "  (no end mark in the 64 codes)");
  return text;
}

}  // namespace tarvo::cli
