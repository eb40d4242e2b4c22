#include "tools/orvane-tool/PictureOutput.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>

#include <string_view>

#include "location/RMS.h"
#include "location/TrialLocation.h"
#include "platform/ErrorReport.h"
#include "platform/FileWriter.h"
#include "tools/orvane-tool/Arguments.h"

namespace orvane::tool {

bool MakeRequestedTrial(const char* command, std::span<KSAC* const> records, const EventOptions& event,
                        TrialState& state) {
  trialList.clear();
  if (!event.epicentre) return true;
  const auto [lat, lon] = *event.epicentre;
  ScopedErrorReportCapture quiet;  // the refusal is said on standard error below
  const TrialResult trial = TrialLocation(records, lat, lon, event.depth, state, event.model);
  if (!trial.ok()) {
    Fail(command, trial.reason);
    return false;
  }
  return true;
}

std::unique_ptr<QGuiApplication> MakeOffscreenApplication() {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "orvane-tool";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

bool ParsePictureSize(const char* command, const std::string& value, int& width, int& height) {
  constexpr int kMaxSide = 16384;
  const auto x = value.find('x');
  const auto w = x == std::string::npos ? std::nullopt : ParseInt(value.substr(0, x));
  const auto h = x == std::string::npos ? std::nullopt : ParseInt(value.substr(x + 1));
  if (!w || !h || *w < 1 || *h < 1 || *w > kMaxSide || *h > kMaxSide)
    return Fail(command, "--size needs WxH, each 1 to " + std::to_string(kMaxSide) + " pixels, not '" + value + "'");
  width = *w;
  height = *h;
  return true;
}

QImage NewPicture(const char* command, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) Fail(command, "no memory for a picture of " + std::to_string(width) + "x" + std::to_string(height));
  return image;
}

bool SavePicture(const char* command, const QImage& image, const std::string& out) {
  QByteArray png;
  QBuffer buffer(&png);
  std::string why = "the picture cannot be encoded as PNG";
  if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG") ||
      !WriteFileAtomically(out, std::string_view(png.constData(), static_cast<std::size_t>(png.size())), &why)) {
    Fail(command, out + ": cannot write the picture (" + why + ")");
    return false;
  }
  return true;
}

}  // namespace orvane::tool
