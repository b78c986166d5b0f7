// Sealing a 100 MB log against a plain read-and-sum loop over the same file in the same run.
// Run: build/release/bin/tarvo_log_bench   (bytes_per_second is the figure to compare)
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "log/log_seal.h"

namespace {

constexpr std::size_t kLogSize = 100u * 1000u * 1000u;

const std::string& LogPath() {
  static const std::string path = [] {
    std::string name = "/tmp/tarvo-seal-bench.log";
    std::FILE* file = std::fopen(name.c_str(), "wb");
    const std::string line = "12:34:56.789 Program device Main FPGA ... block 0x00012300\r\n";
    std::size_t written = 0;
    while (written + line.size() <= kLogSize) {
      std::fwrite(line.data(), 1, line.size(), file);
      written += line.size();
    }
    std::fclose(file);
    return name;
  }();
  return path;
}

std::uint64_t FileSize(std::FILE* file) {
  std::fseek(file, 0, SEEK_END);
  return static_cast<std::uint64_t>(std::ftell(file));
}

void BM_SealLog(benchmark::State& state) {
  std::FILE* file = std::fopen(LogPath().c_str(), "rb");
  const std::uint64_t size = FileSize(file);
  for (auto _ : state) {
    std::uint32_t seal = 0;
    if (!tarvo::ComputeLogSeal(file, size, &seal)) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(seal);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
  std::fclose(file);
}

// The reference: read the same file in the same chunk size and add up its bytes.
void BM_PlainReadAndSum(benchmark::State& state) {
  std::FILE* file = std::fopen(LogPath().c_str(), "rb");
  const std::uint64_t size = FileSize(file);
  std::vector<unsigned char> chunk(1 << 20);
  for (auto _ : state) {
    std::fseek(file, 0, SEEK_SET);
    std::uint32_t sum = 0;
    std::size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), file)) > 0) {
      for (std::size_t i = 0; i < got; ++i) sum += chunk[i];
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
  std::fclose(file);
}

BENCHMARK(BM_PlainReadAndSum)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SealLog)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
