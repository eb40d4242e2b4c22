#pragma once

// A spherically symmetric Earth model read from a velocity file: P and S
// velocity given at a list of depths, linear in depth between neighbouring
// rows; a depth written twice marks a discontinuity (first row above it,
// second below).

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::ttgen {

/// @brief A model file that cannot be used; what() says why, e.g.
/// "iasp91.tvel line 12: expected 4 numbers".
class EarthModelError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// One row of the model.
struct ModelNode {
  double depth = 0.0;  ///< km below the surface
  double vp = 0.0;     ///< km/s
  double vs = 0.0;     ///< km/s, 0 in the fluid outer core
};

/// The two text layouts we read.
enum class ModelFormat {
  Tvel,  ///< two header lines, then "depth Vp Vs density"
  Nd,    ///< "depth Vp Vs density [Qp Qs]" with the named lines mantle, outer-core, inner-core
};

class EarthModel {
 public:
  static constexpr double kRadius = 6371.0;        ///< km; the tables use a sphere of this radius
  static constexpr std::size_t kMaxFileBytes = 4u << 20;
  static constexpr std::size_t kMaxRows = 20000;

  /// @brief Parses model text. name only labels error messages.
  /// @return the model; throws EarthModelError on anything malformed, e.g. a
  /// row with 3 numbers, depths going up, no fluid outer core, or a last row
  /// that is not at the centre (6371 km).
  static EarthModel Parse(std::string_view text, ModelFormat format, const std::string& name = "model");

  /// @brief Reads a model file; the format follows the name (".tvel" or ".nd").
  /// @return the model; throws EarthModelError when the file is missing,
  /// too large, of unknown kind or malformed.
  static EarthModel Load(const std::string& path);

  /// @brief Format from a file name: "x/iasp91.tvel" → Tvel, "jb.nd" → Nd.
  /// @return false for any other name.
  static bool FormatFromName(const std::string& path, ModelFormat& format);

  /// Rows in depth order, 0 km first and 6371 km last.
  const std::vector<ModelNode>& Nodes() const { return nodes_; }
  /// Index of the first row of the fluid outer core (its top, at the core–mantle boundary).
  std::size_t OuterCoreTop() const { return outerCoreTop_; }
  /// Index of the first row of the inner core (its top, at the inner-core boundary).
  std::size_t InnerCoreTop() const { return innerCoreTop_; }
  /// Depth of the core–mantle boundary in km, e.g. 2889 for iasp91.
  double CmbDepth() const { return nodes_[outerCoreTop_].depth; }
  /// Depth of the inner-core boundary in km, e.g. 5153.9 for iasp91.
  double IcbDepth() const { return nodes_[innerCoreTop_].depth; }

 private:
  std::vector<ModelNode> nodes_;
  std::size_t outerCoreTop_ = 0;
  std::size_t innerCoreTop_ = 0;
};

}  // namespace orvane::ttgen
