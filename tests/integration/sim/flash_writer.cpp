// A writer process of the concurrency test: through the program's link, writer n fills every
// second 256-byte block of the selected device, from block n on, with n + 1.
// Usage: tarvo_flash_writer N BLOCKS; exit status 0 when every write succeeded.
#include <cstdlib>
#include <vector>

#include "link/link.h"
#include "link/telegrams.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const auto writer = static_cast<std::uint32_t>(std::atoi(argv[1]));
  const std::vector<std::uint8_t> data(256, static_cast<std::uint8_t>(writer + 1));
  bool ok = tarvo::OpenLink(tarvo::INTERFACE_USB2) == 0;
  for (std::uint32_t b = 0; ok && b < static_cast<std::uint32_t>(std::atoi(argv[2])); ++b)
    ok = tarvo::WriteBlock((b * 2 + writer) * 256, data.data(), 256) == 0;
  tarvo::CloseLink();
  return ok ? 0 : 1;
}
