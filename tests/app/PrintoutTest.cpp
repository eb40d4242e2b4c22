// The printout: the globe page on an image, and orvane --print-pdf.
#include "app/Printout.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/Surface.h"
#include "support/RunCommand.h"
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

TEST(Printout, PrintPdfWritesOnePageAndNothingHalfDone) {
  const std::string examples = ORVANE_SOURCE_DIR "/examples/";
  const std::filesystem::path cwd = std::filesystem::current_path();
  const test::ScopedTempDir scratch;  // the captured output goes there
  test::CommandRun run =
      test::RunCommand(ORVANE_PATH, {"--print-pdf", "event.pdf", examples + "TAIG.sac", examples + "KODK.sac"},
                       scratch.path(), cwd);
  ASSERT_EQ(run.status, 0) << run.err;
  std::ifstream in("event.pdf", std::ios::binary);
  const std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
  std::size_t pages = 0;
  for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
    pages += pdf.compare(at, 12, "/Type /Pages") != 0;
  EXPECT_EQ(pages, 1u);
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

}  // namespace
}  // namespace orvane
