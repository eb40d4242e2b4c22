// Exercise files: any bytes as an .orvex file. Whatever is accepted must be
// a sound exercise, and writing it again must read back as the same one.
#include <QByteArray>
#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "view/ExerciseFile.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QString error;
  const std::optional<orvane::Exercise> exercise = orvane::ParseExercise(bytes, &error);
  // A refusal always says why.
  Check(exercise.has_value() == error.isEmpty());
  if (!exercise) return 0;
  Check(!exercise->seismograms.empty());
  for (const orvane::ExerciseSeismogram& s : exercise->seismograms) {
    Check(!s.path.empty() && s.size >= 0 && s.sha256.size() == 64);
    if (s.pick) Check(std::isfinite(*s.pick));
    if (s.marks)
      for (float m : *s.marks) Check(std::isfinite(m));
  }
  Check(std::isfinite(exercise->depth) && exercise->radius > 0.0f);
  for (const orvane::ExerciseTrial& t : exercise->trials)
    Check(std::isfinite(t.lat) && std::fabs(t.lat) <= 90.0f && std::isfinite(t.rms) && t.rms >= 0.0f);
  // What is written reads back the same.
  const std::optional<orvane::Exercise> again = orvane::ParseExercise(orvane::ExerciseJson(*exercise));
  Check(again.has_value() && *again == *exercise);
  return 0;
}
