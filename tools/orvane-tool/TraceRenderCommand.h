#pragma once
// orvane-tool render-traces: what the seismogram windows paint, as a PNG,
// without a display.

namespace orvane::tool {

/// @brief orvane-tool render-traces --out FILE.png [--size WxH]
///        [--one-window | --station FILE] [--depth KM --epicentre LAT,LON]
///        [--model NAME] [--pick FILE=SECONDS]... FILE...
/// Paints the client area of the window of all seismograms (the default, or
/// --one-window), or of the single-seismogram window of the file --station
/// names (read with the others when it is not among them), at zoom 1 and gain
/// 1: the traces with their labels, minute scale, picks, and with --epicentre
/// the trial there, made as `locate` makes it, with its predicted arrivals,
/// "Delta T" and "Dist". Picks come from --pick or the files' own t0.
/// Default sizes: 400x250 for one seismogram, 400x800 for all of them.
/// The PNG is written under a temporary name and renamed when complete.
/// Exit status 0; 1 with a reason when a file is unreadable, the trial is
/// refused or the PNG cannot be written; 2 for bad arguments.
int TraceRenderCommand(int argc, char** argv);

}  // namespace orvane::tool
