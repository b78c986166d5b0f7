#include "cli/packet_description.h"

#include "cli/plan_steps.h"
#include "firmware/device_catalogue.h"
#include "log/format_text.h"

namespace tarvo::cli {

namespace {

std::string ImageTimeText(const ImageVersion& version) {
  return FormatText("%04d-%02d-%02dT%02d:%02d", version.year, version.month, version.day,
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

json::Json DescribeEntry(std::size_t number, const PacketEntryInfo& entry) {
  const DeviceVersion version{entry.version.variant, entry.version.major, entry.version.minor};
  return {{"entry", number},
          {"device", json::Device(entry.deviceIndex)},
          {"dataOffset", entry.dataOffset},
          {"start", entry.startAddress},
          // An empty image has no last byte.
          {"end", entry.size == 0 ? json::Json()
                                  : json::Json(std::uint64_t{entry.startAddress} + entry.size - 1)},
          {"size", entry.size},
          {"version", json::Version(version)},
          {"imageTime", ImageTimeText(entry.version)}};
}

}  // namespace

json::Json DescribePacket(const CFirmwarePacket& packet, const std::string& path,
                          InterfaceType interfaceType) {
  PacketHeaderInfo header;
  ProgramOrder order{};
  if (!packet.GetHeader(&header) || !packet.GetOrder(&order)) return json::Json();
  json::Json entries = json::Json::array();
  const std::vector<PacketEntryInfo> loaded = packet.LoadedEntries();
  for (std::size_t number = 0; number < loaded.size(); ++number) {
    entries.push_back(DescribeEntry(number, loaded[number]));
  }
  bool ended = false;
  bool allZero = true;
  for (std::uint16_t code : order) {
    ended = ended || code == ORDER_END;
    allZero = allZero && code == 0;
  }
  // 64 zero codes are no order (a backup stores none), not 64 steps for Boot uP.
  json::Json steps = json::Json::array();
  for (const PlannedStep& step : OrderSteps(order, interfaceType)) {
    if (!allZero) steps.push_back(json::Step(step));
  }
  return {{"path", path},
          {"headerText", header.headerText},
          {"formatVersion", header.formatVersion},
          {"headerSize", header.headerSize},
          {"creationText", EscapedText(header.creationText)},
          {"length", header.fileLength},
          {"checkWord", json::Hex(header.checkWord, 8)},
          {"entryCount", header.entryCount},
          {"entries", entries},
          {"order", steps},
          {"orderEnds", ended},
          {"orderStored", !allZero}};
}

std::string PacketDescriptionText(const json::Json& json) {
  std::string text;
  auto line = [&text](const std::string& content) { text += content + "\n"; };
  line("File:            " + json["path"].get<std::string>());
  line("Header text:     " + json["headerText"].get<std::string>());
  line(FormatText("Format version:  %d", json["formatVersion"].get<int>()));
  line(FormatText("Header size:     %d", json["headerSize"].get<int>()));
  line("Creation text:   " + json["creationText"].get<std::string>());
  line(FormatText("Length:          %u bytes", json["length"].get<std::uint32_t>()));
  line("Check:           passed (check word " + json["checkWord"].get<std::string>() + ")");
  const int count = json["entryCount"].get<int>();
  if (count > static_cast<int>(PACKET_MAX_ENTRIES)) {
    line(
        FormatText("Entries:         %d (more than the %u the header has room for; the first %u "
                   "are shown)",
                   count, PACKET_MAX_ENTRIES, PACKET_MAX_ENTRIES));
  } else {
    line(FormatText("Entries:         %d", count));
  }
  line("  #  Device       Start     End       Size      Version     Image time");
  for (const json::Json& entry : json["entries"]) {
    std::string time = entry["imageTime"].get<std::string>();
    if (const std::size_t t = time.find('T'); t != std::string::npos) time[t] = ' ';
    const std::string end =
        entry["end"].is_null()
            ? std::string("-")
            : FormatText("%08llx",
                         static_cast<unsigned long long>(entry["end"].get<std::uint64_t>()));
    line(FormatText("  %-2d %-12s %08x  %-8s  %-9u %-11s %s", entry["entry"].get<int>(),
                    entry["device"]["name"].get<std::string>().c_str(),
                    entry["start"].get<std::uint32_t>(), end.c_str(),
                    entry["size"].get<std::uint32_t>(),
                    entry["version"]["text"].get<std::string>().c_str(), time.c_str()));
  }
  line("Programming order:");
  if (!json["orderStored"].get<bool>()) {
    line("  none stored (all 64 codes are zero, as in a backup)");
    return text;
  }
  int number = 1;
  for (const json::Json& step : json["order"]) {
    line(FormatText("  %2d. %s", number++, step["text"].get<std::string>().c_str()));
  }
  line(json["orderEnds"].get<bool>() ? "  End" : "  (no end mark in the 64 codes)");
  return text;
}

}  // namespace tarvo::cli
