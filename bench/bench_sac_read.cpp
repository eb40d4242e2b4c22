// Reading a 1,000,000-sample SAC file in each byte order, against a plain read
// of the same bytes into memory, in one run. The figures that matter are the
// ratios printed at the end: a read should cost at most twice the plain read.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <span>
#include <random>
#include <string>
#include <vector>

#include "seismogram/KSAC.h"
#include "seismogram/SACFile.h"

namespace {

namespace fs = std::filesystem;

constexpr std::int32_t kSamples = 1'000'000;

float Sample(std::int32_t i) { return static_cast<float>((std::int64_t{i} * 7919) % 20001 - 10000) * 0.01f; }

// The two files, written once into a fresh directory that goes with the process.
struct Files {
  fs::path dir;
  std::string little;
  std::string big;

  Files() {
    dir = fs::temp_directory_path() / ("orvane-bench-sac-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    std::unique_ptr<float[]> samples(new float[kSamples]);
    for (std::int32_t i = 0; i < kSamples; ++i) samples[i] = Sample(i);
    orvane::SYSTEMTIME start;
    start.wYear = 2004;
    start.wMonth = 12;
    start.wDay = 26;
    orvane::KSAC record(kSamples, std::move(samples), 3.3f, 95.9f, 0, 0.01f, "BENCH", "BHZ", start);
    big = (dir / "big.sac").string();
    if (auto reason = orvane::SaveSAC(big, record)) std::fprintf(stderr, "%s\n", reason->c_str());
    // The little-endian file: the big-endian one with every numeric word turned.
    std::FILE* in = std::fopen(big.c_str(), "rb");
    std::vector<unsigned char> bytes(632 + 4u * kSamples);
    if (in == nullptr || std::fread(bytes.data(), 1, bytes.size(), in) != bytes.size()) std::abort();
    std::fclose(in);
    for (std::size_t w = 0; w < bytes.size() / 4; ++w) {
      if (w * 4 >= 440 && w * 4 < 632) continue;  // text fields have no byte order
      orvane::KSAC::Swap4(bytes.data() + 4 * w);
    }
    little = (dir / "little.sac").string();
    std::FILE* out = std::fopen(little.c_str(), "wb");
    if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) std::abort();
    std::fclose(out);
  }
  ~Files() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

const Files& TheFiles() {
  static Files files;
  return files;
}

// What any reader must at least do: open the file, obtain memory, read the bytes.
void BM_PlainRead(benchmark::State& state) {
  const std::string& path = TheFiles().little;
  const std::size_t size = fs::file_size(path);
  for (auto _ : state) {
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[size]);
    std::FILE* f = std::fopen(path.c_str(), "rb");
    const std::size_t got = std::fread(bytes.get(), 1, size, f);
    std::fclose(f);
    benchmark::DoNotOptimize(bytes.get());
    if (got != size) state.SkipWithError("short read");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);

void ReadSAC(benchmark::State& state, const std::string& path) {
  orvane::KSAC record;
  const std::size_t size = fs::file_size(path);
  for (auto _ : state) {
    record.ReadSAC(path.c_str());
    benchmark::DoNotOptimize(record.samples.get());
  }
  if (record.GetIntHeader(orvane::KSAC::NPTS) != kSamples || record.samples[1] != Sample(1))
    state.SkipWithError("wrong record");
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

void BM_ReadSAC_Little(benchmark::State& state) { ReadSAC(state, TheFiles().little); }
void BM_ReadSAC_Big(benchmark::State& state) { ReadSAC(state, TheFiles().big); }
BENCHMARK(BM_ReadSAC_Little)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSAC_Big)->Unit(benchmark::kMillisecond);

// The byte layer alone, without the statistics pass, for a file in the host's
// order: the file's bytes read straight into the sample array, header and
// samples decoded from them. (For the other order the reader turns the bytes
// in the statistics pass itself, behind its chain of additions.)
void DecodeOnly(benchmark::State& state, const std::string& path) {
  const std::size_t size = fs::file_size(path);
  unsigned char header[orvane::kSACHeaderBytes];
  for (auto _ : state) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    unsigned char head[orvane::kSACHeaderBytes];
    std::size_t got = std::fread(head, 1, sizeof head, f);
    orvane::SACByteOrder order;
    if (orvane::DecodeSACHeader(std::span(head, got), header, order)) state.SkipWithError("header");
    std::unique_ptr<float[]> samples(new float[kSamples]);
    auto* bytes = reinterpret_cast<unsigned char*>(samples.get());
    got = std::fread(bytes, 1, 4u * kSamples, f);
    std::fclose(f);
    if (orvane::DecodeSACSamples(std::span(bytes, got), kSamples, order, samples.get()))
      state.SkipWithError("samples");
    benchmark::DoNotOptimize(samples.get());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
void BM_DecodeOnly_Little(benchmark::State& state) { DecodeOnly(state, TheFiles().little); }
BENCHMARK(BM_DecodeOnly_Little)->Unit(benchmark::kMillisecond);

// The statistics pass on its own: a chain of 1,000,000 dependent
// single-precision additions, which no reordering may shorten.
void BM_ComputeMinMaxMean(benchmark::State& state) {
  orvane::KSAC record(TheFiles().little);
  for (auto _ : state) {
    record.ComputeMinMaxMean();
    benchmark::DoNotOptimize(record.header.get());
  }
}
BENCHMARK(BM_ComputeMinMaxMean)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && run.iterations > 0)
        times[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TheFiles();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto plain = reporter.times.find("BM_PlainRead");
  if (plain != reporter.times.end() && plain->second > 0) {
    for (const char* name : {"BM_ReadSAC_Little", "BM_ReadSAC_Big", "BM_DecodeOnly_Little",
                             "BM_ComputeMinMaxMean"}) {
      const auto it = reporter.times.find(name);
      if (it != reporter.times.end())
        std::printf("%-22s / BM_PlainRead = %.2f\n", name, it->second / plain->second);
    }
  }
  benchmark::Shutdown();
  return 0;
}
