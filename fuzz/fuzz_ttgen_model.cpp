// Earth model files for ttgen: any bytes as a .tvel model (first byte even)
// or an .nd model (odd); a model that parses is layered and traced at a few
// ray parameters for both waves.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tools/ttgen/EarthModel.h"
#include "tools/ttgen/RayTracer.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvane::ttgen;
  if (size == 0) return 0;
  const ModelFormat format = (data[0] & 1) ? ModelFormat::Nd : ModelFormat::Tvel;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  try {
    const EarthModel model = EarthModel::Parse(text, format);
    Check(model.Nodes().size() >= 2 && model.OuterCoreTop() < model.InnerCoreTop());
    const RayTracer tracer(model, {0.0, 0.5 * model.CmbDepth()});
    RayWalk walk;
    for (Family family : {Family::P, Family::S}) {
      const double top = tracer.MaxMantleSlowness(family);
      for (double p : {0.0, 0.25 * top, 0.5 * top, top}) {
        tracer.Trace(family, p, walk);
        Check(!std::isnan(walk.halfRay.delta) && !std::isnan(walk.halfRay.time) && walk.halfRay.time >= 0.0);
      }
    }
  } catch (const EarthModelError&) {
    // refused with a reason: fine
  }
  return 0;
}
