// Benchmarks of the firmware file work: Intel HEX reading, the packet integrity check against
// a plain whole-file word sum, bitstream reading and the run-length compression.
//
// Besides the usual Google Benchmark flags it takes, before them:
//   --write-hex=PATH --hex-mib=N   write the benchmark's HEX file of N MiB of data and exit
//   --make-firmware=DIR            write raw image files of all nine devices, print DEV=FILE
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_files.h"
#include "firmware/byte_order.h"
#include "firmware/firmware_packet.h"
#include "firmware/image_readers.h"
#include "firmware/run_length.h"

namespace tarvo::bench {
namespace {

std::string BenchFolder() {
  static const std::string folder = [] {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "tarvo-firmware-bench";
    std::filesystem::create_directories(path);
    return path.string();
  }();
  return folder;
}

std::vector<std::uint8_t>& ImageBuffer() {
  static std::vector<std::uint8_t> buffer(IMAGE_BUFFER_SIZE, 0xFF);
  return buffer;
}

std::string HexFile(int mib) {
  const std::string path = BenchFolder() + "/bench_" + std::to_string(mib) + "mib.hex";
  if (!std::filesystem::exists(path)) WriteHexFile(path, static_cast<std::size_t>(mib) << 20);
  return path;
}

void BM_ReadHexImage(benchmark::State& state) {
  const std::string path = HexFile(static_cast<int>(state.range(0)));
  const auto fileBytes = static_cast<std::int64_t>(std::filesystem::file_size(path));
  for (auto _ : state) {
    ImageRange range;
    if (ReadHexImage(path, ImageBuffer().data(), &range) != 0) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(range);
  }
  state.SetBytesProcessed(state.iterations() * fileBytes);
  state.counters["data_MiB"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_ReadHexImage)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

std::string PacketFile() {
  const std::string path = BenchFolder() + "/bench_20mb.tvf";
  if (!std::filesystem::exists(path)) WritePacketFile(path, PACKET_BUFFER_SIZE);
  return path;
}

void BM_CheckPacketFile(benchmark::State& state) {
  const std::string path = PacketFile();
  CFirmwarePacket packet;
  for (auto _ : state) {
    if (!packet.CheckPacketFile(path)) state.SkipWithError("check failed");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(PACKET_BUFFER_SIZE));
}
BENCHMARK(BM_CheckPacketFile)->Unit(benchmark::kMillisecond);

// The same file read whole with one call and summed: what the chunked check is measured against.
void BM_PlainReadAndWordSum(benchmark::State& state) {
  const std::string path = PacketFile();
  std::vector<std::uint8_t> bytes(PACKET_BUFFER_SIZE);
  for (auto _ : state) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    const std::uint32_t sum = SumLe32Words(bytes.data(), got);
    if (sum != PACKET_CHECK_SUM) state.SkipWithError("bad sum");
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(PACKET_BUFFER_SIZE));
}
BENCHMARK(BM_PlainReadAndWordSum)->Unit(benchmark::kMillisecond);

constexpr std::size_t kBitstreamBytes = 8000000;

void BM_ReadBitstream(benchmark::State& state) {
  const std::string path = BenchFolder() + "/CALDO_1_V04_11.bit";
  if (!std::filesystem::exists(path)) WriteBytes(path, MakeBitstream(kBitstreamBytes));
  for (auto _ : state) {
    ImageRange range;
    if (ReadBitstream(path, ImageBuffer().data(), &range) != 0) state.SkipWithError("failed");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kBitstreamBytes));
}
BENCHMARK(BM_ReadBitstream)->Unit(benchmark::kMillisecond);

void BM_RunLengthCompress(benchmark::State& state) {
  const std::vector<std::uint8_t> input = MakeBitstream(kBitstreamBytes);
  std::vector<std::uint8_t>& output = ImageBuffer();
  std::size_t compressed = 0;
  for (auto _ : state) {
    const auto length = RunLengthCompress(input.data(), input.size(), output.data(), output.size());
    compressed = length.value_or(0);
    benchmark::DoNotOptimize(compressed);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.size()));
  state.counters["ratio"] = static_cast<double>(compressed) / static_cast<double>(input.size());
}
BENCHMARK(BM_RunLengthCompress)->Unit(benchmark::kMillisecond);

// Own options; false when the program is done.
bool HandleOwnOptions(int* argc, char** argv, int* status) {
  std::string writeHex;
  std::string firmwareFolder;
  int mib = 8;
  int kept = 1;
  for (int i = 1; i < *argc; ++i) {
    const char* argument = argv[i];
    if (std::strncmp(argument, "--write-hex=", 12) == 0) {
      writeHex = argument + 12;
    } else if (std::strncmp(argument, "--hex-mib=", 10) == 0) {
      mib = std::atoi(argument + 10);
    } else if (std::strncmp(argument, "--make-firmware=", 16) == 0) {
      firmwareFolder = argument + 16;
    } else {
      argv[kept++] = argv[i];
    }
  }
  *argc = kept;
  if (!writeHex.empty()) {
    *status = WriteHexFile(writeHex, static_cast<std::size_t>(mib) << 20) ? 0 : 1;
    return false;
  }
  if (!firmwareFolder.empty()) {
    std::filesystem::create_directories(firmwareFolder);
    for (const std::string& image : WriteFirmwareFiles(firmwareFolder)) {
      std::printf("%s\n", image.c_str());
    }
    *status = 0;
    return false;
  }
  return true;
}

}  // namespace
}  // namespace tarvo::bench

int main(int argc, char** argv) {
  int status = 0;
  if (!tarvo::bench::HandleOwnOptions(&argc, argv, &status)) return status;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
