#include "view/ExerciseReplay.h"

#include <QFileInfo>

#include <charconv>
#include <cstring>

namespace orvane {

ExerciseRecords OpenExerciseRecords(const Exercise& exercise, const QString& exercisePath) {
  ExerciseRecords opened;
  for (std::size_t i = 0; i < exercise.seismograms.size(); ++i) {
    const ExerciseSeismogram& entry = exercise.seismograms[i];
    const QString path = ResolvedSeismogramPath(entry.path, exercisePath);
    const std::string name = path.toStdString();
    const QFileInfo info(path);
    if (!info.exists()) {
      opened.leftOut.push_back({name, "missing"});
      continue;
    }
    if (!info.isFile()) {
      opened.leftOut.push_back({name, "not a file"});
      continue;
    }
    // A file that changed since the save would give other trials: it is left
    // out rather than matched with a pick made on another trace. The size
    // tells most changes without reading the file.
    if (info.size() != entry.size) {
      opened.leftOut.push_back({name, "changed since the exercise was saved"});
      continue;
    }
    const auto print = FingerprintOf(path);
    if (!print) {
      opened.leftOut.push_back({name, "cannot be read"});
      continue;
    }
    if (print->size != entry.size || print->sha256 != entry.sha256) {
      opened.leftOut.push_back({name, "changed since the exercise was saved"});
      continue;
    }
    const std::string paths[] = {name};
    EventFiles files = ReadEventFiles(paths, exercise.format);
    if (files.records.empty()) {
      opened.leftOut.push_back({name, files.refused.empty() ? std::string("cannot be read") : files.refused[0].reason});
      continue;
    }
    std::unique_ptr<KSAC> record = std::move(files.records[0]);
    if (entry.pick) record->SetPick(0, *entry.pick);
    opened.records.push_back(std::move(record));
    opened.paths << QFileInfo(path).absoluteFilePath();
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

}  // namespace orvane
