#pragma once
// The P and S travel-time tables of a focal depth, as every part of the
// program gets them: a click's trial, the misfit map on its own thread, the
// answer key, orvane-tool and the sample-event generator.
//
// A loaded table never changes, so the same table may be read on several
// threads at once. Tables are kept for reuse by file and depth column: a
// table is read from its file again when the file has another size or time
// of last change, and a file changed within the last two seconds is read at
// every load (the file system's clock is too coarse to tell a rewrite in the
// same tick). A missing or empty table is never kept, so that a file put in
// place while the program runs is found at the next trial.

#include <memory>
#include <string>

#include "location/JB.h"

namespace orvane {

/// The P and S tables of one depth column. Never null; a table may be
/// unusable (count 0: its file is missing or holds no rows).
struct PhaseTables {
  std::shared_ptr<const JB> p;
  std::shared_ptr<const JB> s;
};

/// @brief The tables P.JB and S.JB of @p model, found as FindPhaseTable
/// finds them (location/EarthModel.h), at the column of @p depth km
/// (JB::DepthColumn). Safe to call on any thread.
/// Example: LoadPhaseTables(33.0f).p->TravelTime(10.0f) is the P time at 10
/// degrees from column 1 of P.JB.
PhaseTables LoadPhaseTables(float depth, EarthModel model = kDefaultEarthModel);

/// @brief One of them: the table of @p phase ("P" or "S") of @p model at the
/// column of @p depth km. Never null. Safe to call on any thread.
std::shared_ptr<const JB> LoadPhaseTable(const std::string& phase, float depth,
                                         EarthModel model = kDefaultEarthModel);

}  // namespace orvane
