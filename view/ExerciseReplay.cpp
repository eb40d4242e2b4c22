#include "view/ExerciseReplay.h"

#include <QFileInfo>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <limits>

#include "seismogram/BandPassFilter.h"
#include "seismogram/RecordReadouts.h"

namespace orvane {

namespace {

// Why the file at @p path is not the one stored as @p entry, or nothing.
std::optional<std::string> ChangedSince(const QString& path, const ExerciseSeismogram& entry) {
  const QFileInfo info(path);
  if (!info.exists()) return "missing";
  if (!info.isFile()) return "not a file";
  // A file that changed since the save would give other trials: it is left
  // out rather than matched with a pick made on another trace. The size
  // tells most changes without reading the file.
  if (info.size() != entry.size) return "changed since the exercise was saved";
  const auto print = FingerprintOf(path);
  if (!print) return "cannot be read";
  if (print->size != entry.size || print->sha256 != entry.sha256) return "changed since the exercise was saved";
  return std::nullopt;
}

}  // namespace

ExerciseRecords OpenExerciseRecords(const Exercise& exercise, const QString& exercisePath) {
  ExerciseRecords opened;
  const std::size_t count = exercise.seismograms.size();
  std::vector<std::unique_ptr<KSAC>> byEntry(count);
  std::vector<QString> paths(count);
  std::vector<std::size_t> channels;  // entries of miniSEED channels, read together below
  for (std::size_t i = 0; i < count; ++i) {
    const ExerciseSeismogram& entry = exercise.seismograms[i];
    paths[i] = ResolvedSeismogramPath(entry.path, exercisePath);
    const std::string name = paths[i].toStdString();
    if (auto why = ChangedSince(paths[i], entry)) {
      opened.leftOut.push_back({name, std::move(*why)});
      continue;
    }
    if (!entry.channel.empty()) {
      channels.push_back(i);
      continue;
    }
    const std::string one[] = {name};
    EventFiles files = ReadEventFiles(one, exercise.format);
    if (files.records.empty()) {
      opened.leftOut.push_back({name, files.refused.empty() ? std::string("cannot be read") : files.refused[0].reason});
      continue;
    }
    byEntry[i] = std::move(files.records[0]);
  }
  if (!channels.empty()) {
    // The channels' files and those read with them (the stations'
    // positions), all as they were, read at once.
    std::optional<std::string> why;
    std::vector<std::string> together;
    for (const ExerciseSeismogram& with : exercise.with) {
      const QString path = ResolvedSeismogramPath(with.path, exercisePath);
      if (auto changed = ChangedSince(path, with)) {
        why = QFileInfo(path).fileName().toStdString() + " read with it is " + *changed;
        break;
      }
      together.push_back(path.toStdString());
    }
    for (std::size_t i : channels) {
      const std::string name = paths[i].toStdString();
      if (std::find(together.begin(), together.end(), name) == together.end()) together.insert(together.begin(), name);
    }
    EventFiles files;
    if (!why) files = ReadEventFiles(together, SeismogramFormat::kMiniSEED);
    for (std::size_t i : channels) {
      const std::string name = paths[i].toStdString();
      const std::string& channel = exercise.seismograms[i].channel;
      std::size_t k = 0;
      while (k < files.records.size() &&
             (!files.records[k] || files.records[k]->fileName != name || files.channels[k] != channel))
        ++k;
      if (why) {
        opened.leftOut.push_back({name + " " + channel, *why});
      } else if (k == files.records.size()) {
        opened.leftOut.push_back({name + " " + channel, "the channel cannot be read from the file"});
      } else {
        byEntry[i] = std::move(files.records[k]);
      }
    }
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (!byEntry[i]) continue;
    const ExerciseSeismogram& entry = exercise.seismograms[i];
    if (entry.pick)
      byEntry[i]->SetPick(0, *entry.pick);
    else if (HasPick(*byEntry[i]))
      byEntry[i]->SetPick(0, 0.0f);  // the student cleared the pick the file came with
    byEntry[i]->leftOut = entry.leftOut;
    if (entry.filter) {
      std::string why;
      if (BandPassFilter::Design(*entry.filter, byEntry[i]->GetFloatHeader(KSAC::DELTA), why))
        byEntry[i]->filter = entry.filter;
      else
        opened.notes.push_back(QFileInfo(paths[i]).fileName().toStdString() + ": its filter was not kept: " + why);
    }
    opened.records.push_back(std::move(byEntry[i]));
    opened.paths << QFileInfo(paths[i]).absoluteFilePath();
    opened.channels.push_back(entry.channel);
    opened.entries.push_back(i);
  }
  return opened;
}

std::string ShortestFloatText(float value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

RedoneTrials RedoTrials(std::span<KSAC* const> records, std::span<const ExerciseTrial> trials, TrialState& state,
                        EarthModel model) {
  RedoneTrials redone;
  for (std::size_t i = 0; i < trials.size(); ++i) {
    const ExerciseTrial& t = trials[i];
    TrialResult result = TrialLocation(records, t.lat, t.lon, t.depth, state, model);
    const std::string number = "trial " + std::to_string(i + 1);
    if (!result.ok()) {
      redone.notes.push_back(number + " was refused: " + result.reason);
    } else {
      redone.hasTrial = true;
      // Bit for bit: the same arithmetic on the same inputs gives the same float.
      if (std::memcmp(&result.rms, &t.rms, sizeof(float)) != 0)
        redone.notes.push_back(number + " now has RMS " + ShortestFloatText(result.rms) + " s (saved: " +
                               ShortestFloatText(t.rms) + " s)");
    }
    redone.results.push_back(std::move(result));
  }
  return redone;
}

bool RestoreShownTrial(const Exercise& exercise, std::span<KSAC* const> records, std::span<const std::size_t> entries,
                       TrialState& state) {
  if (!exercise.trials.empty() || !exercise.lastTrial) return false;
  const ExerciseShownTrial& shown = *exercise.lastTrial;
  const auto& f = shown.originTime;
  state = TrialState{shown.lat, shown.lon, SYSTEMTIME{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]}, shown.rms,
                     shown.stations};
  for (std::size_t i = 0; i < records.size(); ++i) {
    const auto& marks = exercise.seismograms[entries[i]].marks;
    if (!marks) continue;
    records[i]->SetPick(1, (*marks)[0]);  // clears t2…t9
    records[i]->SetPick(2, (*marks)[1]);
    records[i]->SetFloatHeader(KSAC::GCARC, (*marks)[2]);
    records[i]->SetFloatHeader(KSAC::USER5, (*marks)[3]);
  }
  return true;
}

KeptWork KeptWorkOf(const Exercise& exercise, std::span<const std::size_t> entries, const QString& exercisePath,
                    std::size_t trialsMade) {
  KeptWork kept;
  for (std::size_t entry = 0, next = 0; entry < exercise.seismograms.size(); ++entry) {
    if (next < entries.size() && entries[next] == entry) {
      ++next;
      continue;
    }
    ExerciseSeismogram stored = exercise.seismograms[entry];
    stored.path = QFileInfo(ResolvedSeismogramPath(stored.path, exercisePath)).absoluteFilePath().toStdString();
    kept.seismograms.push_back(KeptSeismogram{entry, std::move(stored)});
  }
  if (!kept.seismograms.empty()) {
    kept.trialsAsOpened = true;
    kept.openedTrialCount = trialsMade;
    kept.openedTrials = exercise.trials;
    kept.openedLastTrial = exercise.lastTrial;
  }
  return kept;
}

namespace {

// The trials of @p trials as an exercise holds them, each at @p depth.
std::vector<ExerciseTrial> ExerciseTrialsAt(std::span<const RMS> trials, float depth) {
  std::vector<ExerciseTrial> made;
  for (const RMS& t : trials) made.push_back(ExerciseTrial{t.lat, t.lon, depth, t.rms});
  return made;
}

// The trials stand as the exercise held them while nothing discarded them
// (the list then still begins with the trials made again at opening).
bool TrialsAsOpened(std::span<const RMS> trials, const KeptWork& kept) {
  return kept.trialsAsOpened && trials.size() >= kept.openedTrialCount;
}

}  // namespace

std::vector<ExerciseTrial> ExerciseTrialsOf(std::span<const RMS> trials, float depth, const KeptWork& kept) {
  std::vector<ExerciseTrial> made = ExerciseTrialsAt(trials, depth);
  if (!TrialsAsOpened(trials, kept)) return made;
  // The stored trials with their stored RMS, then those made since.
  std::vector<ExerciseTrial> all = kept.openedTrials;
  all.insert(all.end(), made.begin() + static_cast<std::ptrdiff_t>(kept.openedTrialCount), made.end());
  return all;
}

Exercise ExerciseOf(const EventWork& work, const KeptWork& kept, const QString& exercisePath) {
  Exercise e;
  e.format = work.format;
  const bool asOpened = TrialsAsOpened(work.trials, kept);
  const bool lastAsOpened = asOpened && work.trials.size() == kept.openedTrialCount;
  // A seismogram left out at opening goes back to its place as it was stored;
  // its marks belong to the last trial of the file, while that one is shown.
  auto next = kept.seismograms.begin();
  const auto putKept = [&](std::size_t upTo) {
    for (; next != kept.seismograms.end() && next->place <= upTo; ++next) {
      ExerciseSeismogram s = next->entry;
      s.path = StoredSeismogramPath(QString::fromStdString(next->entry.path), exercisePath);
      if (!lastAsOpened) s.marks.reset();
      e.seismograms.push_back(std::move(s));
    }
  };
  for (std::size_t i = 0; i < work.records.size(); ++i) {
    putKept(e.seismograms.size());
    const KSAC& r = *work.records[i];
    ExerciseSeismogram s;
    s.path = StoredSeismogramPath(work.paths[i], exercisePath);
    s.size = work.prints[i].size;
    s.sha256 = work.prints[i].sha256;
    if (i < work.channels.size()) s.channel = work.channels[i];
    if (HasPick(r)) s.pick = r.GetPick(0);
    s.leftOut = r.leftOut;
    s.filter = r.filter;
    if (work.shownTrial)
      s.marks = std::array<float, 4>{r.GetPick(1), r.GetPick(2), r.GetFloatHeader(KSAC::GCARC),
                                     r.GetFloatHeader(KSAC::USER5)};
    e.seismograms.push_back(std::move(s));
  }
  putKept(std::numeric_limits<std::size_t>::max());
  for (std::size_t i = 0; i < work.withPaths.size() && i < work.withPrints.size(); ++i) {
    ExerciseSeismogram with;
    with.path = StoredSeismogramPath(work.withPaths[i], exercisePath);
    with.size = work.withPrints[i].size;
    with.sha256 = work.withPrints[i].sha256;
    e.with.push_back(std::move(with));
  }
  e.depth = work.depth;
  e.maximumRms = work.maximumRms;
  e.oneWindow = work.oneWindow;
  e.centreLat = -work.globe.tilt;
  e.centreLon = work.globe.spin;
  // A globe zoomed in or out beyond what a float holds is stored at the
  // nearest radius an exercise file can hold.
  e.radius = std::clamp(work.globe.radius, std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::max());
  e.model = work.model;
  e.trials = ExerciseTrialsOf(work.trials, work.depth, kept);
  if (lastAsOpened) {
    e.lastTrial = kept.openedLastTrial;
  } else if (work.shownTrial) {
    const SYSTEMTIME& t = work.shownTrial->originTime;
    e.lastTrial = ExerciseShownTrial{work.shownTrial->epicentreLat, work.shownTrial->epicentreLon,
                                     work.shownTrial->rms,
                                     {t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond,
                                      t.wMilliseconds},
                                     work.shownTrial->stations};
  }
  return e;
}

}  // namespace orvane
