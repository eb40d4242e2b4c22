#include "seismogram/EventReader.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "support/PeppBuilder.h"
#include "support/PsnBuilder.h"
#include "support/SacBuilder.h"
#include "support/SpecialFiles.h"
#include "support/TempDir.h"

namespace orvane {
namespace {

using test::PeppBuilder;
using test::PsnBuilder;
using test::SacBuilder;

class EventReading : public testing::Test {
 protected:
  std::string Sac(const std::string& name, const char* station) {
    SacBuilder().Float(KSAC::DELTA, 0.05f).Text(KSAC::KSTNM, station).Samples({1, 2, 3}).WriteTo(dir / name);
    return (dir / name).string();
  }
  std::string Pepp(const std::string& name) {
    // Bytes 316-319, SAC's npts, made non-zero so that the SAC reader refuses the file.
    PeppBuilder().Byte(318, 0x7f).Samples({1, 2, 3}).WriteTo(dir / name);
    return (dir / name).string();
  }
  std::string Junk(const std::string& name) {
    test::WriteBytes(dir / name, std::vector<unsigned char>(40, 'x'));
    return (dir / name).string();
  }
  test::ScopedTempDir dir;
};

TEST_F(EventReading, EveryFileIsReadAndRefusalsDoNotStopTheRest) {
  const std::vector<std::string> paths = {Sac("a.sac", "AAA"), Junk("bad.sac"), Sac("c.sac", "CCC"),
                                          (dir / "missing.sac").string()};
  const EventFiles event = ReadEventFiles(paths);
  ASSERT_EQ(event.records.size(), 2u);
  EXPECT_EQ(event.records[0]->fileName, paths[0]);
  EXPECT_EQ(event.records[1]->fileName, paths[2]);
  EXPECT_EQ(event.records[1]->GetCharHeaderText(KSAC::KSTNM), "CCC");
  ASSERT_EQ(event.formats.size(), 2u);
  ASSERT_EQ(event.refused.size(), 2u);
  EXPECT_EQ(event.refused[0].path, paths[1]);
  EXPECT_NE(event.refused[0].reason.find("not a SAC file"), std::string::npos) << event.refused[0].reason;
  EXPECT_EQ(event.refused[1].path, paths[3]);
  EXPECT_FALSE(event.refused[1].reason.empty());
}

TEST_F(EventReading, FormatChoiceDecidesTheReaderNotTheName) {
  const std::string peppNamedSac = Pepp("p.sac");
  const std::string sac = Sac("s.sac", "S");
  const std::string sacNamedPsn = Sac("s.psn", "S");
  struct Row {
    const char* what;
    std::string path;
    std::optional<SeismogramFormat> chosen;
    bool read;
    SeismogramFormat format;
  } rows[] = {
      {"SAC choice falls back to PEPP", peppNamedSac, SeismogramFormat::kSAC, true, SeismogramFormat::kPEPP},
      {"SAC choice ignores a .psn name", sacNamedPsn, SeismogramFormat::kSAC, true, SeismogramFormat::kSAC},
      {"PEPP choice refuses a SAC file", sac, SeismogramFormat::kPEPP, false, {}},
      {"PSN choice refuses a SAC file", sac, SeismogramFormat::kPSN, false, {}},
      {"by name: .psn is read as PSN", sacNamedPsn, std::nullopt, false, {}},
      {"by name: .sac falls back to PEPP", peppNamedSac, std::nullopt, true, SeismogramFormat::kPEPP},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::vector<std::string> paths = {row.path};
    const EventFiles event = ReadEventFiles(paths, row.chosen);
    ASSERT_EQ(event.records.size(), row.read ? 1u : 0u);
    EXPECT_EQ(event.refused.size(), row.read ? 0u : 1u);
    if (row.read) {
      EXPECT_EQ(event.formats[0], row.format);
    }
  }
}

TEST_F(EventReading, PsnChoiceReadsPsn) {
  PsnBuilder().Samples(std::vector<std::int16_t>(100, 7)).WriteTo(dir / "x.dat");
  const std::vector<std::string> paths = {(dir / "x.dat").string()};
  const EventFiles event = ReadEventFiles(paths, SeismogramFormat::kPSN);
  ASSERT_EQ(event.records.size(), 1u) << (event.refused.empty() ? "" : event.refused[0].reason);
  EXPECT_EQ(event.records[0]->origin, 2);
}

// What is not a regular file is refused before a byte of it is read, so that
// nothing waits on it: a FIFO with no writer, a device, and a file that says
// it has no bytes (as those of /proc do).
TEST_F(EventReading, WhatIsNotARegularFileIsRefusedUnread) {
  const std::filesystem::path fifo = dir / "pipe.sac";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  test::WriteBytes(dir / "empty.sac", {});
  const std::vector<std::string> paths = {fifo.string(), "/dev/zero", (dir / "empty.sac").string(),
                                          "/proc/self/status", Sac("a.sac", "AAA")};
  const auto previous = std::signal(SIGPIPE, SIG_IGN);
  EventFiles event;
  {
    test::FifoUnblocker unblock({fifo});
    event = ReadEventFiles(paths);
  }
  std::signal(SIGPIPE, previous);
  ASSERT_EQ(event.records.size(), 1u);
  ASSERT_EQ(event.refused.size(), 4u);
  const char* reasons[] = {"not a regular file", "not a regular file", "the file is empty", "the file is empty"};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(event.refused[i].path, paths[i]);
    EXPECT_EQ(event.refused[i].reason.rfind(reasons[i], 0), 0u) << event.refused[i].reason;
  }
}

}  // namespace
}  // namespace orvane
