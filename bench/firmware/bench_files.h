// Generated input files for the firmware benchmarks and the comparison scripts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::bench {

// An Intel HEX file of about dataBytes bytes of data: a segment-based (02) region first, then
// linear (04) regions, records of 16 and 32 bytes, and gaps. Returns false when it cannot be
// written.
bool WriteHexFile(const std::string& path, std::size_t dataBytes);

// An FPGA bitstream: a file header of its own, the synchronisation pattern, then data that
// compresses like a real bitstream (long runs of zeros between random stretches).
std::vector<std::uint8_t> MakeBitstream(std::size_t dataBytes);

// A valid packet file of about totalBytes bytes (images of up to 10,000,000 bytes).
bool WritePacketFile(const std::string& path, std::size_t totalBytes);

// One raw image file per device, full-sized where the device allows, named with variant and
// version: the input of a complete nine-device packet build. Returns the "DEV=FILE" pairs.
std::vector<std::string> WriteFirmwareFiles(const std::string& folder);

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace tarvo::bench
