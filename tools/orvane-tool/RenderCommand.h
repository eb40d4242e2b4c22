#pragma once
// orvane-tool render: the main view's map picture as a PNG, without a display.

namespace orvane::tool {

/// @brief orvane-tool render --out FILE.png [--size WxH] [--centre LAT,LON]
///        [--radius PX] [--maximum-rms N] [--depth KM --epicentre LAT,LON]
///        [--model NAME] [--misfit] [--pick FILE=SECONDS]... [FILE...]
/// Paints what the main view paints for the view centred on LAT,LON (spin =
/// LON, tilt = -LAT) with a globe of PX pixels radius in a client area of
/// W × H pixels: the globe with grid and map layers, scale bar, RMS legend on
/// the scale of N seconds, and the stations of the files. With --epicentre the
/// trial there is made as `locate` makes it (tables of --model for --depth,
/// picks from --pick or the files' own t0) and drawn with its dot, star, reach lines and
/// description. Defaults: 800x600, centre 0,0, radius 200, maximum RMS 10,
/// depth 0. Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.
/// The PNG is written under a temporary name and renamed when complete.
/// Exit status 0; 1 with a reason when a file is unreadable, the trial is
/// refused or the PNG cannot be written (no file is left then); 2 for bad arguments.
int RenderCommand(int argc, char** argv);

}  // namespace orvane::tool
