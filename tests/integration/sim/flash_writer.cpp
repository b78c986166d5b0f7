// One writer of the concurrency test: a process of its own that opens the simulated camera
// through the interface library and writes its pattern (seed writer + 1) into every
// writers-th 256-byte block of the selected device, starting at block `writer`.
// Usage: tarvo_flash_writer WRITER WRITERS BLOCKS; exit status 0 when every write succeeded.
#include <cstdlib>

#include "sim_client.h"

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const int writer = std::atoi(argv[1]);
  const int writers = std::atoi(argv[2]);
  const auto blocks = static_cast<std::uint32_t>(std::atoi(argv[3]));
  tarvo::simtest::SimClient client;
  bool ok = client.Open() == 0;
  const std::vector<std::uint8_t> data =
      tarvo::simtest::Pattern(256, static_cast<std::uint8_t>(writer + 1));
  for (std::uint32_t b = 0; ok && b < blocks; ++b) {
    const auto block = b * static_cast<std::uint32_t>(writers) + static_cast<std::uint32_t>(writer);
    ok = client.Write(block * 256, data.data(), 256) == 0;
  }
  client.Close();
  return ok ? 0 : 1;
}
