#pragma once
// The student's P pick: what a click on a trace does to the event.

namespace orvane {

class KSAC;

/// @brief Stores @p seconds (after the record's reference time) as the P
/// pick t0 of @p record. The predicted arrivals t1…t9 of the last trial are
/// cleared with it, and every trial of the event is discarded (trialList
/// emptied): a new pick makes the old misfits meaningless.
/// @return true when trialList held trials and was emptied, so that the
/// caller knows to repaint the globe; false when there were none.
bool SetStudentPick(KSAC& record, float seconds);

}  // namespace orvane
