// Map data files: any bytes as a map file, read from memory and from a stream
// (which the reader takes in chunks), the points projected as the painter does.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <vector>

#include "map/Earth.h"
#include "map/MapFile.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

struct Summary {
  std::vector<std::int16_t> codes;
  std::vector<std::size_t> sizes;
  std::size_t skipped = 0;
  bool truncated = false;
};

Summary ReadAll(orvane::MapFile& file, const orvane::Earth& earth) {
  Summary s;
  orvane::MapRecord record;
  while (file.Next(record)) {
    Check(record.featureCode >= 0);
    Check(!record.points.empty() && record.points.size() <= 32767);
    const int cls = orvane::FeatureClass(record.featureCode);
    Check(cls >= 0 && cls < 8);
    for (const orvane::MapPoint& p : record.points) {
      const float lat = static_cast<float>(p.latMinutes * (1.0 / 60.0));
      const float lon = static_cast<float>(p.lonMinutes * (1.0 / 60.0));
      const orvane::Vector3 v = earth.Rotate(earth.ModelPoint(lat, lon));
      if (orvane::Earth::IsNearSide(v)) {
        const orvane::ScreenPoint sp = earth.ToScreen(v);
        Check(sp.x >= -1000 && sp.x <= 2000 && sp.y >= -1000 && sp.y <= 2000);
      }
    }
    s.codes.push_back(record.featureCode);
    s.sizes.push_back(record.points.size());
  }
  s.skipped = file.SkippedRecords();
  s.truncated = file.Truncated();
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static orvane::Earth earth;
  earth.SetView(30.0f, -20.0f, 300.0f, 800, 600);
  orvane::MapFile memory{std::span<const unsigned char>(data, size)};
  const Summary a = ReadAll(memory, earth);

  std::FILE* f = std::tmpfile();
  if (f == nullptr) return 0;
  if (size > 0) std::fwrite(data, 1, size, f);
  std::rewind(f);
  orvane::MapFile stream(f);
  const Summary b = ReadAll(stream, earth);
  std::fclose(f);

  Check(a.codes == b.codes && a.sizes == b.sizes && a.skipped == b.skipped && a.truncated == b.truncated);
  return 0;
}
