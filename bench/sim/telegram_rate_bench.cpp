// Telegram rate of the simulated camera through the loaded interface library, as the program
// sees it: 256-byte block writes and reads with no latency set.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "link/interface_abi.h"
#include "link/telegram_layout.h"
#include "platform/dynamic_library.h"

namespace {

namespace tg = tarvo::telegram;

constexpr std::uint32_t kMainFpgaCapacity = 0x800000;

class Camera {
 public:
  Camera() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvo-bench-XXXXXX").string();
    folder_ = mkdtemp(pattern.data());
    setenv("QLM_SIM_DIR", folder_.c_str(), 1);
    unsetenv("QLM_SIM_TRACE");
    library_ = tarvo::platform::LoadSharedLibrary(std::string(TARVO_SIM_LIBRARY_FOLDER) +
                                                  "/libqlm_usb.so");
    open_ = reinterpret_cast<OpenCamFunction>(
        tarvo::platform::ResolveEntryPoint(library_, tarvo::kOpenCamName));
    close_ = reinterpret_cast<CloseCamFunction>(
        tarvo::platform::ResolveEntryPoint(library_, tarvo::kCloseCamName));
    command_ = reinterpret_cast<ControlCommandFunction>(
        tarvo::platform::ResolveEntryPoint(library_, tarvo::kControlCommandName));
    open_(0, &handle_);
  }
  ~Camera() {
    close_(&handle_);
    tarvo::platform::UnloadSharedLibrary(library_);
    std::filesystem::remove_all(folder_);
  }

  std::uint32_t Simple(std::uint16_t code) {
    std::uint8_t request[13] = {};
    Header(request, code, 13);
    std::uint8_t answer[17];
    return command_(handle_, request, 13, answer, 17);
  }

  std::uint32_t Write(std::uint32_t address, const std::uint8_t* data) {
    std::uint8_t request[269] = {};
    Header(request, tg::kWriteBlock, 269);
    Put32(request + 4, address);
    Put32(request + 8, address + 255);
    std::memcpy(request + 12, data, 256);
    std::uint8_t answer[15];
    return command_(handle_, request, 269, answer, 15);
  }

  std::uint32_t Read(std::uint32_t address, std::uint8_t* answer) {
    std::uint8_t request[13] = {};
    Header(request, tg::kReadBlock, 13);
    Put32(request + 4, address);
    Put32(request + 8, address + 255);
    return command_(handle_, request, 13, answer, 269);
  }

 private:
  static void Header(std::uint8_t* t, std::uint16_t code, std::uint16_t size) {
    t[0] = static_cast<std::uint8_t>(code);
    t[1] = static_cast<std::uint8_t>(code >> 8);
    t[2] = static_cast<std::uint8_t>(size);
    t[3] = static_cast<std::uint8_t>(size >> 8);
  }
  static void Put32(std::uint8_t* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
  }

  std::string folder_;
  void* library_ = nullptr;
  OpenCamFunction open_ = nullptr;
  CloseCamFunction close_ = nullptr;
  ControlCommandFunction command_ = nullptr;
  std::uint32_t handle_ = 0;
};

void BM_WriteBlock256(benchmark::State& state) {
  Camera camera;
  camera.Simple(0x4203);  // Main FPGA
  camera.Simple(tg::kEraseDevice);
  std::vector<std::uint8_t> data(256, 0x5A);
  std::uint32_t address = 0;
  for (auto _ : state) {
    if (address >= kMainFpgaCapacity) {  // a full device: erase once per 32768 blocks
      camera.Simple(tg::kEraseDevice);
      address = 0;
    }
    if (camera.Write(address, data.data()) != 0) state.SkipWithError("write refused");
    address += 256;
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * 256);
}
BENCHMARK(BM_WriteBlock256);

void BM_ReadBlock256(benchmark::State& state) {
  Camera camera;
  camera.Simple(0x4203);
  std::uint8_t answer[269];
  std::uint32_t address = 0;
  for (auto _ : state) {
    if (camera.Read(address, answer) != 0) state.SkipWithError("read refused");
    benchmark::DoNotOptimize(answer);
    address = (address + 256) % kMainFpgaCapacity;
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * 256);
}
BENCHMARK(BM_ReadBlock256);

}  // namespace

BENCHMARK_MAIN();
