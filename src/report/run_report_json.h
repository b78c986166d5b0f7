// The run report as JSON: the pieces that every JSON document of tarvo-cli (--json) and every
// record of the service history are built from, so that a version, a device, a run or a log
// reads the same everywhere. docs/json.md describes them. Codes and check words are
// hexadecimal strings; addresses, sizes and times are numbers; what does not apply is null.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "engine/run_report.h"
#include "firmware/image_version.h"
#include "platform/local_time.h"

namespace tarvo::report_json {

using Json = nlohmann::ordered_json;

// {"text": "001 V04.11", "variant": 1, "major": 4, "minor": 11}; null when not available.
Json Version(const DeviceVersion& version);
// {"index": 2, "name": "Main FPGA"}; an index beyond the catalogue is named "device 12".
Json Device(unsigned index);
// "%0*x" of the value: a result code "80031058", an order code "2005"; null for 0 when
// zeroIsNone (a result code of 0 is no failure).
Json Hex(std::uint32_t value, int digits, bool zeroIsNone = false);
// The interface as --interface names it: usb2, usb3, gige.
const char* InterfaceName(InterfaceType type);
// "2026-12-07T09:30:12.345", local time.
std::string TimeText(const platform::CalendarTime& time);

// {"device", "planned", "outcome", "resultCode", "failedAddress", ...}: one device of a run or
// of a backup.
Json DeviceOutcome(const DeviceRecord& record);
// {"path", "creationText", "checkWord"}; null when no packet was loaded.
Json Packet(const PacketRecord& packet);
// What the run report holds, without the log (a document's "log" tells its final state).
Json Run(const RunReport& report);
// {"path": ..., "sealed": ...}; the path is null when there was no log folder.
Json Log(const std::string& path, bool sealed);

// The error code of a failed run: its weightiest failure (another camera answered, then the
// backup, then a device, ...), named as the run report names it.
const char* RunErrorCode(const RunReport& report);

}  // namespace tarvo::report_json
