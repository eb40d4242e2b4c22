#pragma once
// The standard focal depths of the depth panel and the button that stands for
// a depth. Plain C++: the panel's choice is worked out here and tested
// without a window.

#include <array>

namespace orvane {

/// One standard depth: the radio button (control id and caption) and its depth.
struct DepthChoice {
  int id;               ///< control id of the radio button, 101..111
  const char* caption;  ///< "0 km" ... "600 km"
  int depthKm;
};

/// The standard depths in the order of their buttons.
inline constexpr std::array<DepthChoice, 11> depthChoices = {{
    {101, "0 km", 0},
    {102, "10 km", 10},
    {103, "20 km", 20},
    {104, "33 km", 33},
    {105, "50 km", 50},
    {106, "100 km", 100},
    {107, "200 km", 200},
    {108, "300 km", 300},
    {109, "400 km", 400},
    {110, "500 km", 500},
    {111, "600 km", 600},
}};
inline constexpr int kDepthChoiceCount = static_cast<int>(depthChoices.size());

/// The depths the travel-time tables serve, km. Their deepest column is for
/// 793.59 km; a deeper focus, or one above the surface, would be given the
/// times of the deepest or of the surface column under its own depth, so the
/// depth panel does not take it.
inline constexpr int kShallowestDepthKm = 0;
inline constexpr int kDeepestDepthKm = 800;

/// Control ids of the depth panel besides the standard-depth buttons.
inline constexpr int kDepthOkId = 1;       ///< push button "OK"
inline constexpr int kYoursId = 112;       ///< radio button "Yours"
inline constexpr int kDepthEditId = 113;   ///< edit box with the depth in km
inline constexpr int kStandardFrameId = 114;  ///< etched frame around the standard depths
inline constexpr int kYoursFrameId = 115;     ///< etched frame around "Yours", the edit box and OK

/// @brief The index in depthChoices of the button to check for @p depthKm: the
/// first standard depth that is at least @p depthKm.
/// @return -1 when every standard depth is smaller ("Yours" is checked then).
/// Examples: 33 gives "33 km", 15 gives "20 km", -5 gives "0 km", 650 gives -1.
int DepthChoiceIndexFor(int depthKm);

/// @brief The control id of the button to check for @p depthKm: 101..111, or
/// kYoursId when every standard depth is smaller.
int DepthButtonIdFor(int depthKm);

}  // namespace orvane
