// Programming and verifying one device through the simulated camera's interface library, and
// the block checks the loops run per block. The camera folder and the log go to a temporary
// folder; waits are not slept.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/device_blocks.h"
#include "engine/programmer_dlg.h"
#include "link/telegrams.h"

namespace tarvo {
namespace {

// A window that shows nothing.
class NullWindow final : public WindowPort {
 public:
  void PumpMessages() override {}
  void SetWindowTitle(const std::string&) override {}
  void SetStatusText(const std::string&) override {}
  void SetCameraVersionText(DeviceIndex, const std::string&) override {}
  void SetPacketVersionText(DeviceIndex, const std::string&) override {}
  bool IsDeviceChecked(DeviceIndex) const override { return false; }
  void SetDeviceChecked(DeviceIndex, bool) override {}
  bool IsDeviceEnabled(DeviceIndex) const override { return false; }
  void EnableDevice(DeviceIndex, bool) override {}
  bool IsControlEnabled(CommandControl) const override { return true; }
  void EnableControl(CommandControl, bool) override {}
  void ShowControl(CommandControl, bool) override {}
  bool IsControlChecked(CommandControl control) const override {
    return control == CommandControl::kUsb2;
  }
  void SetControlChecked(CommandControl, bool) override {}
  void ShowDeviceProgress(DeviceIndex, bool) override {}
  void SetDeviceProgressColours(DeviceIndex, ProgressColour, ProgressColour) override {}
  void SetDeviceProgressPosition(DeviceIndex, int) override {}
  void ShowMessageBox(const std::string&, const std::string&, MessageIcon) override {}
  bool AskYesNo(const std::string&) override { return false; }
  std::optional<std::string> OpenFileDialog(const std::string&, const std::string&) override {
    return {};
  }
  std::optional<std::string> SaveFileDialog(const std::string&, const std::string&) override {
    return {};
  }
};

struct BenchSetup {
  BenchSetup() {
    folder = std::filesystem::temp_directory_path() /
             ("tarvo-engine-bench-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder);
    setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    setenv("QLM_SIM_DIR", (folder / "camera").c_str(), 1);
    dlg = std::make_unique<CProgrammerDlg>(window, clock, folder.string());
  }
  ~BenchSetup() {
    dlg.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  // A packet with one Main FPGA image of `size` bytes of varied data.
  void LoadImage(std::uint32_t size) {
    std::vector<std::uint8_t>& bytes = image;
    bytes.resize(size);
    std::uint32_t x = 12345;
    for (std::uint8_t& byte : bytes) {
      x = x * 1103515245u + 12345u;
      byte = static_cast<std::uint8_t>(x >> 16);
    }
    CFirmwarePacket packet;
    const std::string path = (folder / "bench.tvf").string();
    if (!packet.CreatePacket() ||
        !packet.AddImage(DEVICE_MAIN_FPGA, 0, size, bytes.data(), ImageVersion{}) ||
        !packet.SealPacket() || !packet.SavePacket(path) || dlg->LoadPacketFile(path) != 1) {
      std::abort();
    }
  }

  std::filesystem::path folder;
  std::vector<std::uint8_t> image;
  NullWindow window;
  platform::FakeClock clock;
  std::unique_ptr<CProgrammerDlg> dlg;
};

void BM_ProgramDevice(benchmark::State& state) {
  BenchSetup setup;
  const auto size = static_cast<std::uint32_t>(state.range(0));
  setup.LoadImage(size);
  for (auto _ : state) {
    if (setup.dlg->ProgramDevice(DEVICE_MAIN_FPGA) != 1) state.SkipWithError("program failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * size);
}
BENCHMARK(BM_ProgramDevice)->Arg(256 * 1024)->Unit(benchmark::kMillisecond);

void BM_VerifyDevice(benchmark::State& state) {
  BenchSetup setup;
  const auto size = static_cast<std::uint32_t>(state.range(0));
  setup.LoadImage(size);
  if (setup.dlg->ProgramDevice(DEVICE_MAIN_FPGA) != 1) state.SkipWithError("program failed");
  for (auto _ : state) {
    if (setup.dlg->VerifyDevice(DEVICE_MAIN_FPGA) != 1) state.SkipWithError("verify failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * size);
}
BENCHMARK(BM_VerifyDevice)->Arg(256 * 1024)->Unit(benchmark::kMillisecond);

// The same telegrams as ProgramDevice and VerifyDevice issue, sent by a bare loop through the
// same interface library: what the device operations cost beyond the telegrams themselves.
std::uint32_t RawProgram(const std::vector<std::uint8_t>& image) {
  std::uint32_t result = OpenLink(INTERFACE_USB2);
  if (result == 0) result = SelectDevice(DeviceSelectCode(DEVICE_MAIN_FPGA));
  if (result == 0) result = EraseDevice(kEraseTimeoutSeconds);
  const auto size = static_cast<std::uint32_t>(image.size());
  for (std::uint32_t address = 0; result == 0 && address < size; address += kDeviceBlockSize) {
    const std::uint32_t length = std::min(kDeviceBlockSize, size - address);
    result = WriteBlock(address, image.data() + address, length);
  }
  if (result == 0) result = EndDeviceAccess();
  CloseLink();
  return result;
}

std::uint32_t RawVerify(const std::vector<std::uint8_t>& image, std::uint8_t* readBack) {
  std::uint32_t result = OpenLink(INTERFACE_USB2);
  if (result == 0) result = SelectDevice(DeviceSelectCode(DEVICE_MAIN_FPGA));
  const auto size = static_cast<std::uint32_t>(image.size());
  for (std::uint32_t address = 0; result == 0 && address < size; address += kDeviceBlockSize) {
    const std::uint32_t length = std::min(kDeviceBlockSize, size - address);
    result = ReadBlock(address, length, readBack + address);
    if (result == 0 && std::memcmp(readBack + address, image.data() + address, length) != 0) {
      result = 1;
    }
  }
  if (result == 0) result = EndDeviceAccess();
  CloseLink();
  return result;
}

void BM_RawProgramLoop(benchmark::State& state) {
  BenchSetup setup;
  const auto size = static_cast<std::uint32_t>(state.range(0));
  setup.LoadImage(size);
  for (auto _ : state) {
    if (RawProgram(setup.image) != 0) state.SkipWithError("raw program failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * size);
}
BENCHMARK(BM_RawProgramLoop)->Arg(256 * 1024)->Unit(benchmark::kMillisecond);

void BM_RawVerifyLoop(benchmark::State& state) {
  BenchSetup setup;
  const auto size = static_cast<std::uint32_t>(state.range(0));
  setup.LoadImage(size);
  if (RawProgram(setup.image) != 0) state.SkipWithError("raw program failed");
  std::vector<std::uint8_t> readBack(size);
  for (auto _ : state) {
    if (RawVerify(setup.image, readBack.data()) != 0) state.SkipWithError("raw verify failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * size);
}
BENCHMARK(BM_RawVerifyLoop)->Arg(256 * 1024)->Unit(benchmark::kMillisecond);

void BM_IsErasedBlock(benchmark::State& state) {
  std::vector<std::uint8_t> block(256, 0xFF);
  for (auto _ : state) {
    benchmark::DoNotOptimize(IsErasedBlock(block.data(), 256));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 256);
}
BENCHMARK(BM_IsErasedBlock);

}  // namespace
}  // namespace tarvo

BENCHMARK_MAIN();
