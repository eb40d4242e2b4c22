// ttgen: travel-time tables P.JB and S.JB from a spherically symmetric Earth model.
//
//   ttgen [--model FILE] --phase P|S [--output FILE] [--stats]
//   ttgen [--model FILE] --phase NAME --depth KM --distance DEG [--explain]
//
// Errors go to standard error with exit status 1 (bad model, no ray) or 2
// (bad command line); a table is written only once it is complete.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/ttgen/EarthModel.h"
#include "tools/ttgen/TableDepths.h"
#include "tools/ttgen/TableGenerator.h"
#include "tools/ttgen/TravelTimeCalculator.h"

#ifndef ORVANE_TTGEN_DEFAULT_MODEL
#define ORVANE_TTGEN_DEFAULT_MODEL "iasp91.tvel"
#endif

namespace {

using namespace orvane::ttgen;

const char kUsage[] =
    "usage: ttgen [--model FILE] --phase P|S [--output FILE] [--stats]\n"
    "       ttgen [--model FILE] --phase NAME --depth KM --distance DEG [--explain]\n"
    "  --model FILE     velocity model (.tvel or .nd); default " ORVANE_TTGEN_DEFAULT_MODEL "\n"
    "  --phase          P or S for a table; for one value also PKIKP, SKS, SKIKS, Pdiff, Sdiff\n"
    "  --output FILE    write the table there instead of standard output\n"
    "  --stats          report rounding and run time on standard error\n"
    "  --depth, --distance  one travel time in seconds for a focal depth (km) and distance (degrees)\n"
    "  --explain        add the arriving branch and its slowness (s/deg) to the value\n";

int Usage(const char* message) {
  if (message != nullptr) std::fprintf(stderr, "ttgen: %s\n", message);
  std::fputs(kUsage, stderr);
  return 2;
}

bool ParseDouble(const char* text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return end != text && *end == '\0' && std::isfinite(value);
}

// Writes beside the target and renames, so that no half-written table remains.
bool WriteFile(const std::string& path, const std::string& text) {
  const std::string temp = path + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out || !out.write(text.data(), static_cast<std::streamsize>(text.size())) || !out.flush()) {
      std::error_code ignored;
      std::filesystem::remove(temp, ignored);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  if (ec) std::filesystem::remove(temp, ec);
  return !ec;
}

}  // namespace

int main(int argc, char** argv) {
  std::string modelPath = ORVANE_TTGEN_DEFAULT_MODEL, phaseName, outputPath;
  double depth = 0.0, distance = 0.0;
  bool haveDepth = false, haveDistance = false, stats = false, explain = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (std::strcmp(arg, "--model") == 0) {
      const char* v = value();
      if (v == nullptr) return Usage("--model needs a file");
      modelPath = v;
    } else if (std::strcmp(arg, "--phase") == 0) {
      const char* v = value();
      if (v == nullptr) return Usage("--phase needs a name");
      phaseName = v;
    } else if (std::strcmp(arg, "--output") == 0) {
      const char* v = value();
      if (v == nullptr) return Usage("--output needs a file");
      outputPath = v;
    } else if (std::strcmp(arg, "--depth") == 0) {
      const char* v = value();
      if (v == nullptr || !ParseDouble(v, depth)) return Usage("--depth needs a number of kilometres");
      haveDepth = true;
    } else if (std::strcmp(arg, "--distance") == 0) {
      const char* v = value();
      if (v == nullptr || !ParseDouble(v, distance)) return Usage("--distance needs a number of degrees");
      haveDistance = true;
    } else if (std::strcmp(arg, "--stats") == 0) {
      stats = true;
    } else if (std::strcmp(arg, "--explain") == 0) {
      explain = true;
    } else {
      std::string message = std::string("unknown argument '") + arg + "'";
      return Usage(message.c_str());
    }
  }
  Phase phase;
  if (phaseName.empty()) return Usage("--phase is required");
  if (!PhaseFromName(phaseName, phase)) return Usage("unknown phase");
  if (haveDepth != haveDistance) return Usage("--depth and --distance go together");
  const bool single = haveDepth;
  if (!single && phase != Phase::P && phase != Phase::S) return Usage("tables exist for P and S only");
  if (single && (!outputPath.empty() || stats)) return Usage("--output and --stats belong to tables");
  if (single && !(distance >= 0.0 && distance <= 180.0)) return Usage("--distance must lie in 0 … 180");

  try {
    const auto start = std::chrono::steady_clock::now();
    const EarthModel model = EarthModel::Load(modelPath);
    if (single) {
      const TravelTimeCalculator calc(model, {depth});
      const Arrival a = calc.Compute(phase, 0, distance);
      if (!a.found) {
        std::fprintf(stderr, "ttgen: no %s ray reaches %g degrees from %g km\n", phaseName.c_str(), distance, depth);
        return 1;
      }
      if (explain) std::printf("%.3f %s %.4f\n", a.time, a.name.c_str(), a.slowness);
      else std::printf("%.3f\n", a.time);
      return 0;
    }
    TableGenerator::Report report;
    const std::string text = TableGenerator::Generate(model, phase, &report);
    if (stats) {
      for (std::size_t c = 0; c < report.largestError.size(); ++c)
        std::fprintf(stderr, "column %2zu (%6.2f km): largest printed error %.3f s\n", c, kTableDepths[c],
                     report.largestError[c]);
      for (const auto& m : report.moved)
        std::fprintf(stderr, "column %2zu row %3zu: computed %.3f s, printed %.1f s (rounding would repeat a time)\n",
                     m.column, m.row, m.computed, m.printed);
    }
    if (outputPath.empty()) {
      std::fwrite(text.data(), 1, text.size(), stdout);
      if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "ttgen: cannot write the table\n");
        return 1;
      }
    } else if (!WriteFile(outputPath, text)) {
      std::fprintf(stderr, "ttgen: cannot write %s\n", outputPath.c_str());
      return 1;
    }
    if (stats) {
      const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      std::fprintf(stderr, "%.2f s\n", seconds);
    }
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ttgen: %s\n", e.what());
    return 1;
  }
}
