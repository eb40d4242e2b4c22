#pragma once
// The student's P pick: what a click on a trace does to the event, and the
// two ways back: clearing a pick, and leaving a station out of the location.

namespace orvane {

class KSAC;

/// @brief Stores @p seconds (after the record's reference time) as the P
/// pick t0 of @p record. The predicted arrivals t1…t9 of the last trial are
/// cleared with it, and every trial of the event is discarded (trialList
/// emptied): a new pick makes the old misfits meaningless.
/// @return true when trialList held trials and was emptied, so that the
/// caller knows to repaint the globe; false when there were none.
bool SetStudentPick(KSAC& record, float seconds);

/// @brief Removes the P pick of @p record (t0 and, as with a new pick, the
/// predicted arrivals t1…t9 become 0.0) and discards every trial.
/// @return Whether trialList held trials and was emptied.
bool ClearStudentPick(KSAC& record);

/// @brief Leaves @p record out of the location (@p leftOut true) or takes it
/// back in. Its pick stays. Every trial is discarded, since the misfits were
/// made with other stations.
/// @return Whether trialList held trials and was emptied.
bool SetStudentLeftOut(KSAC& record, bool leftOut);

}  // namespace orvane
