#pragma once
// orvane-tool commands on seismogram files.

namespace orvane::tool {

/// @brief orvane-tool header [--format sac|pepp|psn] [--stations FILE.xml]... FILE...
/// Prints one JSON array on standard output with one object per readable file,
/// in argument order, then one per channel of the miniSEED files (each with
/// its "channel", positions from the StationXML); each unreadable file gets
/// "orvane-tool: FILE: reason" on standard error. Exit status 0, 1 when any
/// file failed, 2 for bad arguments.
int HeaderCommand(int argc, char** argv);

/// @brief orvane-tool convert [--format sac|pepp|psn] [--stations FILE.xml]...
///        [--channel NET.STA.LOC.CHA] [--bandpass LO,HI[,ORDER]] IN OUT
/// Reads IN as the header command does (a miniSEED file of several channels
/// needs --channel), band-passes its samples when asked, and writes OUT as
/// big-endian SAC, or as PEPP when OUT ends in ".set". Exit status 0, 1 with
/// a reason on standard error when IN cannot be read or filtered or OUT cannot
/// be written (OUT is then left as it was), 2 for bad arguments.
int ConvertCommand(int argc, char** argv);

}  // namespace orvane::tool
