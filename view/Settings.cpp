#include "view/Settings.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QVariant>

#include <cmath>
#include <limits>

namespace orvane {
namespace {

namespace names = settings_names;

// Brings @p value into [-half, half] by steps of 2 * half: first up while
// below -half, then down while above half. Exact for every 32-bit input.
std::int64_t Wrap(std::int64_t value, std::int64_t half) {
  const std::int64_t step = 2 * half;
  if (value < -half) value += ((-half - value) + step - 1) / step * step;
  if (value > half) value -= ((value - half) + step - 1) / step * step;
  return value;
}

void WriteFlag(QSettings& settings, const QString& name, std::uint8_t flag) {
  settings.setValue(name, QByteArray(1, static_cast<char>(flag)));
}

}  // namespace

std::unique_ptr<QSettings> OpenViewSettings(QString* refusal) {
  // The files QSettings reads at once when it is made, in every folder of
  // settings (the user's first, then the system's).
  for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
    for (const char* name : {"Halvergate/Orvane.conf", "Halvergate.conf"}) {
      const QFileInfo file(QDir(folder).filePath(QString::fromLatin1(name)));
      if (file.exists() && !file.isFile()) {
        if (refusal)
          *refusal = QCoreApplication::translate("orvane::View",
                                                 "The settings file %1 is not a regular file: Orvane starts with "
                                                 "its default settings and keeps none.")
                         .arg(QDir::toNativeSeparators(file.filePath()));
        return nullptr;
      }
    }
  }
  return std::make_unique<QSettings>(QStringLiteral("Halvergate"), QStringLiteral("Orvane"));
}

std::optional<std::int32_t> ReadStoredInteger(QSettings& settings, const QString& name) {
  const QVariant value = settings.value(name);
  if (!value.isValid()) return std::nullopt;
  constexpr qlonglong kMin = std::numeric_limits<std::int32_t>::min();
  constexpr qlonglong kMax = std::numeric_limits<std::int32_t>::max();
  switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
      return static_cast<std::int32_t>(value.toInt());
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong: {
      const qlonglong v = value.toLongLong();
      if (v < kMin || v > kMax) return std::nullopt;
      return static_cast<std::int32_t>(v);
    }
    case QMetaType::ULongLong: {
      const qulonglong v = value.toULongLong();
      if (v > static_cast<qulonglong>(kMax)) return std::nullopt;
      return static_cast<std::int32_t>(v);
    }
    case QMetaType::QString: {
      // Text files of settings give every value back as text.
      bool ok = false;
      const int v = value.toString().toInt(&ok, 10);
      if (!ok) return std::nullopt;
      return static_cast<std::int32_t>(v);
    }
    default:
      return std::nullopt;
  }
}

std::optional<std::uint8_t> ReadStoredFlag(QSettings& settings, const QString& name) {
  const QVariant value = settings.value(name);
  if (value.typeId() != QMetaType::QByteArray) return std::nullopt;
  const QByteArray bytes = value.toByteArray();
  if (bytes.size() != 1) return std::nullopt;
  const auto flag = static_cast<std::uint8_t>(bytes[0]);
  if (flag > 1) return std::nullopt;
  return flag;
}

float SpinFromStoredLongitude(std::int32_t longitude) {
  return static_cast<float>(Wrap(-static_cast<std::int64_t>(longitude), 180));
}

float TiltFromStoredLatitude(std::int32_t latitude) {
  return static_cast<float>(Wrap(-static_cast<std::int64_t>(latitude), 90));
}

std::int32_t StoredInteger(float value) {
  if (std::isnan(value)) return 0;
  // 2^31 is exact as a float; every float below it truncates into range.
  if (value >= 2147483648.0f) return std::numeric_limits<std::int32_t>::max();
  if (value <= -2147483648.0f) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

ViewSettings ReadViewSettings(QSettings& settings) {
  ViewSettings v;
  if (auto rms = ReadStoredInteger(settings, names::kMaximumRms)) v.maximumRms = *rms;
  if (auto lon = ReadStoredInteger(settings, names::kLongitude)) v.spin = SpinFromStoredLongitude(*lon);
  if (auto lat = ReadStoredInteger(settings, names::kLatitude)) v.tilt = TiltFromStoredLatitude(*lat);
  // A disc of no size would show nothing and could not be zoomed back.
  if (auto radius = ReadStoredInteger(settings, names::kRadius); radius && *radius > 0)
    v.radius = static_cast<float>(*radius);
  // Depths beyond the travel-time tables are not taken.
  if (auto depth = ReadStoredInteger(settings, names::kDepth);
      depth && *depth >= 0 && *depth <= kMaxStoredDepthKm)
    v.depth = static_cast<float>(*depth);
  if (auto one = ReadStoredFlag(settings, names::kSeismograms)) v.oneWindow = *one;
  if (auto hints = ReadStoredFlag(settings, names::kWantHints)) v.wantHints = *hints;
  const QVariant model = settings.value(names::kEarthModel);
  if (model.typeId() == QMetaType::QString)
    v.model = ParseEarthModel(model.toString().toStdString()).value_or(kDefaultEarthModel);
  return v;
}

void WriteViewSettings(QSettings& settings, const ViewSettings& values) {
  settings.setValue(names::kMaximumRms, values.maximumRms);
  settings.setValue(names::kLongitude, StoredInteger(-values.spin));
  settings.setValue(names::kLatitude, StoredInteger(-values.tilt));
  settings.setValue(names::kRadius, StoredInteger(values.radius));
  settings.setValue(names::kDepth, StoredInteger(values.depth));
  WriteFlag(settings, names::kSeismograms, values.oneWindow);
  WriteFlag(settings, names::kWantHints, values.wantHints);
  settings.setValue(names::kEarthModel, QString::fromLatin1(EarthModelName(values.model)));
  settings.sync();
}

}  // namespace orvane
