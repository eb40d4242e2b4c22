// Reading a 1,000,000-sample SAC file in each byte order, in one run, against
// the least any reader must do: a plain read of the file's bytes into memory,
// plus one single-precision sum over the samples in order (the mean needs that
// chain of 1,000,000 dependent additions, rounded at every step, and nothing
// may shorten it). The figures that matter are printed at the end: each read
// over that bound, which should stay at or below 1.2.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <random>
#include <string>
#include <vector>

#include "bench/LeastTime.h"
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
    // Both files are written the same way, in one piece, so that they lie
    // in the page cache alike.
    std::vector<unsigned char> bytes(orvane::kSACHeaderBytes + 4u * kSamples);
    orvane::EncodeSACHeader(record.header.get(), bytes.data());
    orvane::EncodeSACSamples(record.samples.get(), kSamples, bytes.data() + orvane::kSACHeaderBytes);
    big = (dir / "big.sac").string();
    WriteWhole(big, bytes);
    // The little-endian file: the big-endian one with every numeric word turned.
    for (std::size_t w = 0; w < bytes.size() / 4; ++w) {
      if (w * 4 >= 440 && w * 4 < 632) continue;  // text fields have no byte order
      orvane::KSAC::Swap4(bytes.data() + 4 * w);
    }
    little = (dir / "little.sac").string();
    WriteWhole(little, bytes);
  }
  static void WriteWhole(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
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

// Every benchmark runs several times over, the repetitions of all of them
// interleaved, and the ratios use the least CPU time of each (the read's
// system time included): on a machine shared with other work, wall time and
// the slower runs measure that work too.
constexpr int kRepetitions = 7;

void Measure(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)
      ->Repetitions(kRepetitions)
      ->DisplayAggregatesOnly(true)
      ->ComputeStatistics("min", orvane::bench::Least);
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
BENCHMARK(BM_PlainRead)->Apply(Measure);

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
BENCHMARK(BM_ReadSAC_Little)->Apply(Measure);
BENCHMARK(BM_ReadSAC_Big)->Apply(Measure);

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
BENCHMARK(BM_DecodeOnly_Little)->Apply(Measure);

// The statistics pass on its own, on samples in memory: minimum, maximum and
// the chain of 1,000,000 dependent additions of the mean. Compare with
// BM_BareSum: what it costs beyond the additions is what the minimum and
// maximum add.
void BM_ComputeMinMaxMean(benchmark::State& state) {
  orvane::KSAC record(TheFiles().little);
  for (auto _ : state) {
    record.ComputeMinMaxMean();
    benchmark::DoNotOptimize(record.header.get());
  }
}
BENCHMARK(BM_ComputeMinMaxMean)->Apply(Measure);

// The sum the mean needs, bare: the samples of the file, already in memory,
// added in order in single precision.
void BM_BareSum(benchmark::State& state) {
  orvane::KSAC record(TheFiles().little);
  const float* samples = record.samples.get();
  for (auto _ : state) {
    float sum = 0.0f;
    for (std::int32_t i = 0; i < kSamples; ++i) sum = sum + samples[i];
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_BareSum)->Apply(Measure);

}  // namespace

int main(int argc, char** argv) {
  // Interleaved repetitions unless the command line says otherwise (a flag
  // given later wins).
  std::vector<char*> args(argv, argv + argc);
  char interleave[] = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, interleave);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  argc = count;
  argv = args.data();
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TheFiles();
  // Keeps the fastest run of each benchmark for the ratios.
  orvane::bench::LeastTimeReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto time = [&](const char* name) {
    const auto it = reporter.least.find(name);
    return it != reporter.least.end() ? it->second : 0.0;
  };
  const double plain = time("BM_PlainRead");
  const double sum = time("BM_BareSum");
  if (plain > 0 && sum > 0) {
    // CPU times of the fastest runs, in the benchmarks' unit, milliseconds.
    std::printf("\nbound: plain read %.3f ms + bare sum %.3f ms = %.3f ms\n", plain, sum, plain + sum);
    for (const char* name : {"BM_ReadSAC_Little", "BM_ReadSAC_Big", "BM_DecodeOnly_Little",
                             "BM_ComputeMinMaxMean"}) {
      if (const double t = time(name); t > 0)
        std::printf("%-22s %7.3f ms = %5.2f x plain read = %5.2f x bound\n", name, t, t / plain,
                    t / (plain + sum));
    }
  }
  benchmark::Shutdown();
  return 0;
}
