// The printout: the globe page on an image, and orvane --print-pdf.
#include "app/Printout.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QMdiSubWindow>
#include <QImage>
#include <QPrinter>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/Surface.h"
#include "seismogram/SeismogramFile.h"
#include "view/View.h"
#include "support/RunCommand.h"
#include "support/SpecialFiles.h"
#include "support/TempDir.h"

namespace orvane {
namespace {

TEST(Printout, TheGlobePageIsTheViewsPictureScaledToThePage) {
  MapPicture picture;
  picture.radius = 200.0f;
  picture.client = Rect{0, 0, 800, 600};
  QImage page(1600, 2000, QImage::Format_RGB32);  // a portrait page, twice the view's width
  page.fill(Qt::white);
  {
    Surface surface(page);
    PaintGlobePage(surface, page.size(), picture);
  }
  // Scaled by 2 and placed at the top: the disc's middle is white, the sky
  // beside it black, the page below the picture untouched.
  EXPECT_EQ(page.pixel(800 + 30, 600 + 30), qRgb(255, 255, 255));
  EXPECT_EQ(page.pixel(100, 100), qRgb(0, 0, 0));
  EXPECT_EQ(page.pixel(1500, 1150), qRgb(0, 0, 0));
  EXPECT_EQ(page.pixel(800, 1500), qRgb(255, 255, 255));
  // The disc reaches 2 × 200 pixels right of its centre, and no further.
  EXPECT_EQ(page.pixel(1185, 640), qRgb(255, 255, 255));
  EXPECT_EQ(page.pixel(1215, 640), qRgb(0, 0, 0));
}

std::size_t PdfPages(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (pdf.rfind("%PDF", 0) != 0) return 0;
  std::size_t pages = 0;
  for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
    pages += pdf.compare(at, 12, "/Type /Pages") != 0;
  return pages;
}

std::unique_ptr<KSAC> Example(const char* name) {
  SeismogramReadResult read = ReadSeismogramFile(ORVANE_SOURCE_DIR "/examples/" + std::string(name));
  EXPECT_TRUE(read.record) << read.reason;
  return std::move(read.record);
}

// The seismogram pages are the windows' pictures scaled to the page: on a
// page twice as wide as the canvas, the station label, the traces and the
// minute labels land where the picture puts them, scaled, and one strip of a
// per-station page stays inside its quarter of the page.
TEST(Printout, SeismogramPagesScaleTheWindowsPictures) {
  std::unique_ptr<KSAC> taig = Example("TAIG.sac");
  std::unique_ptr<KSAC> kodk = Example("KODK.sac");
  QImage page(2000, 1400, QImage::Format_RGB32);
  page.fill(Qt::white);
  {
    Surface surface(page);
    const int gains[] = {1, 1};
    PaintSeismogramsPage(surface, page.size(), {taig.get(), kodk.get()}, gains);
  }
  // The grey margin for the gain controls, 6 characters of a 1000-unit
  // canvas, is about twice as wide on the page; the traces area is white.
  EXPECT_EQ(page.pixel(10, 700), qRgb(128, 128, 128));
  EXPECT_NE(page.pixel(60, 700), qRgb(255, 255, 255));
  // The top border of the traces area, a character width down on the
  // canvas, is a few pixels down on the page, drawn black.
  int border = 0;
  while (border < 100 && page.pixel(1000, border) != qRgb(0, 0, 0)) ++border;
  EXPECT_GT(border, 4);
  EXPECT_LT(border, 40);
  int dark = 0;
  for (int y = 40; y < 1300; ++y)
    for (int x = 200; x < 1950; x += 3) dark += page.pixel(x, y) == qRgb(0, 0, 0);
  EXPECT_GT(dark, 500);  // traces drawn across the page, not in a corner

  page.fill(Qt::white);
  {
    Surface surface(page);
    PaintEventStrip(surface, page.size(), 1, *taig, 1.0f);
  }
  const int top = 1400 / kEventsPerPage;
  const int bottom = 2 * 1400 / kEventsPerPage;
  for (int y : {5, top - 2, bottom + 2, 1395}) EXPECT_EQ(page.pixel(1000, y), qRgb(255, 255, 255)) << y;
  EXPECT_EQ(page.pixel(5, top + 5), qRgb(128, 128, 128));  // the window's dark grey frame
  EXPECT_EQ(page.pixel(1995, bottom - 30), qRgb(128, 128, 128));
}

// The view's printout: the globe page, then the seismograms of the windows
// that are open, four stations to a page; the view's globe does not move.
TEST(Printout, PagesFollowTheOpenSeismogramWindows) {
  View view;
  view.SetShowSplash(false);
  view.SetKeepSettings(false);
  view.resize(800, 600);
  QStringList eight;
  for (const char* n : {"DRWN", "HVLO", "KODK", "KRUN", "MNGL", "NVSB", "ORPL", "TAIG"})
    eight << QString(ORVANE_SOURCE_DIR "/examples/%1.sac").arg(n);
  const auto print = [&view](const std::string& name) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(name));
    return PrintView(printer, view);
  };
  view.MultipleWindowSeismograms();
  view.OpenEventFiles(eight);
  ASSERT_EQ(view.SeismogramWindows().size(), 8u);
  EXPECT_EQ(print("stations.pdf"), 3);
  EXPECT_EQ(PdfPages("stations.pdf"), 3u);
  view.SeismogramWindows()[0]->close();  // a window the student closed is not printed
  QCoreApplication::processEvents();
  EXPECT_EQ(print("seven.pdf"), 3);
  view.OpenEventFiles(eight.mid(0, 4));
  EXPECT_EQ(print("four.pdf"), 2);
  view.SeismogramsInOneWindow();
  view.OpenEventFiles(eight);
  const GlobeView before = view.Globe();
  EXPECT_EQ(print("one.pdf"), 2);
  EXPECT_EQ(PdfPages("one.pdf"), 2u);
  view.CloseEvent();
  EXPECT_EQ(print("none.pdf"), 1);
  EXPECT_EQ(view.Globe().spin, before.spin);
  EXPECT_EQ(view.Globe().radius, before.radius);
}

TEST(Printout, PrintPdfWritesTheGlobeAndTheSeismogramsAndNothingHalfDone) {
  const std::string examples = ORVANE_SOURCE_DIR "/examples/";
  const std::filesystem::path cwd = std::filesystem::current_path();
  const test::ScopedTempDir scratch;  // the captured output goes there
  test::CommandRun run =
      test::RunCommand(ORVANE_PATH, {"--print-pdf", "event.pdf", examples + "TAIG.sac", examples + "KODK.sac"},
                       scratch.path(), cwd);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_GE(PdfPages("event.pdf"), 2u);  // the globe, then the seismograms
  const auto perms = std::filesystem::status("event.pdf").permissions();
  EXPECT_NE(perms & std::filesystem::perms::others_read, std::filesystem::perms::none);

  // A place that cannot be written: a clear refusal, nothing left behind.
  run = test::RunCommand(ORVANE_PATH, {"--print-pdf", "no/such/dir/x.pdf"}, scratch.path(), cwd);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("x.pdf"), std::string::npos) << run.err;
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(cwd)) ++files;
  EXPECT_EQ(files, 1);  // event.pdf alone
}

// --print-pdf writes what its path names, as every writer of Orvane does,
// and replaces nothing else: the file a link names (the link stays, the
// file keeps its mode), a file with another name (both names show the
// printout), a FIFO (written into, for the reader at its other end); a
// device that refuses is reported, and stays.
TEST(Printout, PrintPdfWritesWhatThePathNamesAndReplacesNothingElse) {
  namespace fs = std::filesystem;
  const std::string taig = ORVANE_SOURCE_DIR "/examples/TAIG.sac";
  const test::ScopedTempDir dir;
  const test::ScopedTempDir scratch;
  const auto print = [&](const fs::path& out) {
    return test::RunCommand(ORVANE_PATH, {"--print-pdf", out.string(), taig}, scratch.path(), dir.path());
  };
  std::ofstream(dir / "target.pdf") << "old";
  fs::permissions(dir / "target.pdf", fs::perms(0640), fs::perm_options::replace);
  fs::create_symlink("target.pdf", dir / "link.pdf");
  fs::create_hard_link(dir / "target.pdf", dir / "other.pdf");

  test::CommandRun run = print(dir / "link.pdf");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::is_symlink(dir / "link.pdf"));
  EXPECT_GE(PdfPages((dir / "target.pdf").string()), 1u);
  EXPECT_EQ(fs::status(dir / "target.pdf").permissions(), fs::perms(0640));
  EXPECT_EQ(fs::hard_link_count(dir / "target.pdf"), 2u);
  EXPECT_EQ(test::ReadText(dir / "other.pdf"), test::ReadText(dir / "target.pdf"));

  const fs::path fifo = dir / "pipe.pdf";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  // The reader gives up after a while, so that a FIFO that was replaced
  // fails the test instead of holding it.
  run = test::RunShell("cd " + test::ShellQuote(dir.path().string()) + " && { timeout 30 cat pipe.pdf >got.pdf & " +
                           test::ShellQuote(ORVANE_PATH) + " --print-pdf pipe.pdf " + test::ShellQuote(taig) +
                           "; status=$?; wait; exit $status; }",
                       scratch.path());
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_GE(PdfPages((dir / "got.pdf").string()), 1u);

  const fs::path full = test::FullDevice(dir.path());
  run = print(full);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("No space left on device"), std::string::npos) << run.err;
  EXPECT_TRUE(fs::is_character_file(full));
}

}  // namespace
}  // namespace orvane
