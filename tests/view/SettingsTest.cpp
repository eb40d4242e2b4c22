// The stored view settings, read and written on a settings file of the test's
// own scratch directory.

#include "view/Settings.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QVariant>

#include <climits>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <string>

#include "support/TempDir.h"

namespace orvane {
namespace {

namespace names = settings_names;

class SettingsTest : public ::testing::Test {
 protected:
  // A fresh object on the same file, as the next run of the program would see it.
  std::unique_ptr<QSettings> Open() const {
    return std::make_unique<QSettings>(QString::fromStdString((dir_ / "Orvane.conf").string()), QSettings::IniFormat);
  }
  ViewSettings ReadWith(const QString& name, const QVariant& value) const {
    {
      auto s = Open();
      s->setValue(name, value);
      s->sync();
    }
    return ReadViewSettings(*Open());
  }
  std::string FileText() const {
    std::ifstream in(dir_ / "Orvane.conf");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  test::ScopedTempDir dir_;
};

// The spin the reading rule gives, by its own loops.
float SpinByLoops(std::int64_t longitude) {
  std::int64_t spin = -longitude;
  while (spin < -180) spin += 360;
  while (spin > 180) spin -= 360;
  return static_cast<float>(spin);
}
float TiltByLoops(std::int64_t latitude) {
  std::int64_t tilt = -latitude;
  while (tilt > 90) tilt -= 180;
  while (tilt < -90) tilt += 180;
  return static_cast<float>(tilt);
}

TEST_F(SettingsTest, NothingStoredGivesTheDefaults) {
  const ViewSettings v = ReadViewSettings(*Open());
  EXPECT_EQ(v.maximumRms, 10);
  EXPECT_EQ(v.spin, 0.0f);
  EXPECT_EQ(v.tilt, 0.0f);
  EXPECT_EQ(v.radius, 200.0f);
  EXPECT_EQ(v.depth, 0.0f);
  EXPECT_EQ(v.oneWindow, 1);
  EXPECT_EQ(v.wantHints, 1);
}

TEST_F(SettingsTest, LongitudeIsTheNegatedSpinWrappedIntoOneTurn) {
  struct Row {
    const char* name;
    std::int32_t longitude;
    float spin;
  } rows[] = {
      {"30 W is spin -30", 30, -30.0f},
      {"200 gives 160", 200, 160.0f},
      {"-190 gives -170", -190, -170.0f},
      {"0 stays", 0, 0.0f},
      {"180 stays -180", 180, -180.0f},
      {"-180 stays 180", -180, 180.0f},
      {"540 gives -180", 540, -180.0f},
      {"-541 gives -179", -541, -179.0f},
      {"the largest int", INT_MAX, SpinByLoops(INT_MAX)},
      {"the smallest int", INT_MIN, SpinByLoops(INT_MIN)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(SpinFromStoredLongitude(row.longitude), row.spin);
    EXPECT_EQ(SpinFromStoredLongitude(row.longitude), SpinByLoops(row.longitude));
    EXPECT_EQ(ReadWith(names::kLongitude, row.longitude).spin, row.spin);
  }
}

TEST_F(SettingsTest, LatitudeIsTheNegatedTiltWrappedIntoHalfATurn) {
  struct Row {
    const char* name;
    std::int32_t latitude;
    float tilt;
  } rows[] = {
      {"100 gives 80", 100, 80.0f},
      {"45 N is tilt -45", 45, -45.0f},
      {"-100 gives -80", -100, -80.0f},
      {"90 stays -90", 90, -90.0f},
      {"-90 stays 90", -90, 90.0f},
      {"-270 gives 90", -270, 90.0f},
      {"the largest int", INT_MAX, TiltByLoops(INT_MAX)},
      {"the smallest int", INT_MIN, TiltByLoops(INT_MIN)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(TiltFromStoredLatitude(row.latitude), row.tilt);
    EXPECT_EQ(TiltFromStoredLatitude(row.latitude), TiltByLoops(row.latitude));
    EXPECT_EQ(ReadWith(names::kLatitude, row.latitude).tilt, row.tilt);
  }
}

TEST_F(SettingsTest, IntegersThatCannotBeUsedKeepTheirDefaults) {
  struct Row {
    const char* name;
    QString value;
    QVariant stored;
    int maximumRms;
    float radius, depth;
  } rows[] = {
      {"a radius", names::kRadius, 312, 10, 312.0f, 0.0f},
      {"a radius of 0", names::kRadius, 0, 10, 200.0f, 0.0f},
      {"a negative radius", names::kRadius, -5, 10, 200.0f, 0.0f},
      {"a radius as text", names::kRadius, QStringLiteral("250"), 10, 250.0f, 0.0f},
      {"a radius with a fraction", names::kRadius, QStringLiteral("312.5"), 10, 200.0f, 0.0f},
      {"a radius that is no number", names::kRadius, QStringLiteral("nan"), 10, 200.0f, 0.0f},
      {"an infinite radius", names::kRadius, QStringLiteral("inf"), 10, 200.0f, 0.0f},
      {"a radius beyond 32 bits", names::kRadius, QStringLiteral("4294967296"), 10, 200.0f, 0.0f},
      {"a radius as a list", names::kRadius, QStringList{"1", "2"}, 10, 200.0f, 0.0f},
      {"a depth", names::kDepth, 33, 10, 200.0f, 33.0f},
      {"the deepest depth", names::kDepth, 800, 10, 200.0f, 800.0f},
      {"a depth beyond 800", names::kDepth, 801, 10, 200.0f, 0.0f},
      {"a negative depth", names::kDepth, -1, 10, 200.0f, 0.0f},
      {"a maximum RMS", names::kMaximumRms, 25, 25, 200.0f, 0.0f},
      {"a negative maximum RMS is kept", names::kMaximumRms, -10, -10, 200.0f, 0.0f},
      {"a maximum RMS as bytes", names::kMaximumRms, QByteArray("\x14\0\0\0", 4), 10, 200.0f, 0.0f},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ViewSettings v = ReadWith(row.value, row.stored);
    EXPECT_EQ(v.maximumRms, row.maximumRms);
    EXPECT_EQ(v.radius, row.radius);
    EXPECT_EQ(v.depth, row.depth);
  }
}

TEST_F(SettingsTest, FlagsAreOneByteOfZeroOrOne) {
  struct Row {
    const char* name;
    QVariant stored;
    std::uint8_t flag;
  } rows[] = {
      {"one byte 0", QByteArray(1, '\0'), 0},
      {"one byte 1", QByteArray(1, '\1'), 1},
      {"another byte keeps the default", QByteArray(1, '\7'), 1},
      {"no byte keeps the default", QByteArray(), 1},
      {"two bytes keep the default", QByteArray(2, '\0'), 1},
      {"an integer keeps the default", 0, 1},
      {"text keeps the default", QStringLiteral("0"), 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ReadWith(names::kSeismograms, row.stored).oneWindow, row.flag);
    EXPECT_EQ(ReadWith(names::kWantHints, row.stored).wantHints, row.flag);
  }
}

TEST_F(SettingsTest, WritingTruncatesAndNegates) {
  ViewSettings v;
  v.maximumRms = 20;
  v.spin = 25.7f;
  v.tilt = -45.2f;
  v.radius = 312.5f;
  v.depth = 33.9f;
  v.oneWindow = 0;
  v.wantHints = 0;
  WriteViewSettings(*Open(), v);

  auto s = Open();
  EXPECT_EQ(ReadStoredInteger(*s, names::kMaximumRms), 20);
  EXPECT_EQ(ReadStoredInteger(*s, names::kLongitude), -25);
  EXPECT_EQ(ReadStoredInteger(*s, names::kLatitude), 45);
  EXPECT_EQ(ReadStoredInteger(*s, names::kRadius), 312);
  EXPECT_EQ(ReadStoredInteger(*s, names::kDepth), 33);
  EXPECT_EQ(s->value(names::kSeismograms), QVariant(QByteArray(1, '\0')));
  EXPECT_EQ(s->value(names::kWantHints), QVariant(QByteArray(1, '\0')));
  const std::string text = FileText();
  EXPECT_NE(text.find("Radius=312\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Longitude=-25\n"), std::string::npos) << text;

  const ViewSettings back = ReadViewSettings(*s);
  EXPECT_EQ(back.maximumRms, 20);
  EXPECT_EQ(back.spin, 25.0f);
  EXPECT_EQ(back.tilt, -45.0f);
  EXPECT_EQ(back.radius, 312.0f);
  EXPECT_EQ(back.depth, 33.0f);
  EXPECT_EQ(back.oneWindow, 0);
  EXPECT_EQ(back.wantHints, 0);
}

TEST_F(SettingsTest, TheDefaultsAreWrittenAsTheySay) {
  WriteViewSettings(*Open(), ViewSettings{});
  auto s = Open();
  EXPECT_EQ(ReadStoredInteger(*s, names::kMaximumRms), 10);
  EXPECT_EQ(ReadStoredInteger(*s, names::kLongitude), 0);
  EXPECT_EQ(ReadStoredInteger(*s, names::kLatitude), 0);
  EXPECT_EQ(ReadStoredInteger(*s, names::kRadius), 200);
  EXPECT_EQ(ReadStoredInteger(*s, names::kDepth), 0);
  EXPECT_EQ(ReadStoredFlag(*s, names::kSeismograms), 1);
  EXPECT_EQ(ReadStoredFlag(*s, names::kWantHints), 1);
}

// The Earth model is kept by its name; a name of no shipped model gives the
// default.
TEST_F(SettingsTest, TheEarthModelIsKeptByName) {
  ViewSettings v;
  v.model = EarthModel::kJB;
  WriteViewSettings(*Open(), v);
  EXPECT_EQ(Open()->value(names::kEarthModel).toString(), "jb");
  EXPECT_EQ(ReadViewSettings(*Open()).model, EarthModel::kJB);
  EXPECT_EQ(ReadWith(names::kEarthModel, QStringLiteral("AK135")).model, EarthModel::kAk135);
  EXPECT_EQ(ReadWith(names::kEarthModel, QStringLiteral("prem")).model, EarthModel::kIasp91);
  EXPECT_EQ(ReadWith(names::kEarthModel, QStringLiteral("../ak135")).model, EarthModel::kIasp91);
}

TEST_F(SettingsTest, ALongitudeRoundTripsThroughASpin) {
  auto s = Open();
  s->setValue(names::kLongitude, 30);
  ViewSettings v = ReadViewSettings(*s);
  EXPECT_EQ(v.spin, -30.0f);
  WriteViewSettings(*s, v);
  EXPECT_EQ(ReadStoredInteger(*Open(), names::kLongitude), 30);
}

TEST(StoredInteger, TruncatesTowardsZeroAndHoldsTheLimits) {
  struct Row {
    const char* name;
    float value;
    std::int32_t stored;
  } rows[] = {
      {"a radius of 312.5", 312.5f, 312},
      {"a spin of -25.7", -25.7f, -25},
      {"a depth of 33.9", 33.9f, 33},
      {"just below one", 0.99f, 0},
      {"just above minus one", -0.99f, 0},
      {"a radius zoomed in a hundred times", 200.0f * std::pow(1.25f, 100.0f), INT_MAX},
      {"2^31 exactly", 2147483648.0f, INT_MAX},
      {"-2^31 exactly", -2147483648.0f, INT_MIN},
      {"the largest float below 2^31", 2147483520.0f, 2147483520},
      {"infinity", std::numeric_limits<float>::infinity(), INT_MAX},
      {"minus infinity", -std::numeric_limits<float>::infinity(), INT_MIN},
      {"not a number", std::numeric_limits<float>::quiet_NaN(), 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(StoredInteger(row.value), row.stored);
  }
}

TEST_F(SettingsTest, AWildRadiusIsWrittenSoThatTheNextRunCanUseIt) {
  ViewSettings v;
  v.radius = std::numeric_limits<float>::quiet_NaN();
  WriteViewSettings(*Open(), v);
  EXPECT_EQ(ReadViewSettings(*Open()).radius, 200.0f);  // stored as 0: the default comes back
  v.radius = 1.0e12f;
  WriteViewSettings(*Open(), v);
  EXPECT_EQ(ReadViewSettings(*Open()).radius, static_cast<float>(INT_MAX));
}

TEST_F(SettingsTest, ABrokenSettingsFileGivesTheDefaults) {
  {
    std::ofstream out(dir_ / "Orvane.conf", std::ios::binary);
    out << "[General\nRadius=@ByteArray(\\x\nDepth=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x6QPoint)\n"
        << std::string("\0\xff\xfe=\n=\n[[", 10) << "seismograms=@ByteArray(\n";
  }
  const ViewSettings v = ReadViewSettings(*Open());
  EXPECT_EQ(v.radius, 200.0f);
  EXPECT_EQ(v.depth, 0.0f);
  EXPECT_EQ(v.oneWindow, 1);
}

// The program's own store lives in the user's configuration directory (here
// the test's own HOME) under the company and program names.
TEST(ViewSettingsStore, OpensHalvergateOrvane) {
  auto s = OpenViewSettings();
  EXPECT_EQ(s->organizationName(), "Halvergate");
  EXPECT_EQ(s->applicationName(), "Orvane");
  WriteViewSettings(*s, ViewSettings{});
  EXPECT_EQ(s->status(), QSettings::NoError);
  const std::filesystem::path file = s->fileName().toStdString();
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_EQ(file.string().rfind(std::getenv("HOME"), 0), 0u) << file;
  EXPECT_EQ(ReadViewSettings(*OpenViewSettings()).radius, 200.0f);
}

}  // namespace
}  // namespace orvane
