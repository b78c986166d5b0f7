// The run-length scheme of the Boot FPGA image. The output is a marker byte (the value that
// occurs least often in the input, the lowest such value on a tie), then literal bytes (never
// equal to the marker) and triples "marker, count 1..255, value", then "marker, 0".
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace tarvo {

// Compresses input into output (room bytes). The length written, or nothing when the output
// would need more than room bytes.
std::optional<std::size_t> RunLengthCompress(const std::uint8_t* input, std::size_t length,
                                             std::uint8_t* output, std::size_t room);

}  // namespace tarvo
