#include "app/Printout.h"

#include <QMdiSubWindow>
#include <QPainter>
#include <QPicture>
#include <QPrinter>

#include <algorithm>
#include <vector>

#include "display/Event.h"
#include "display/EventPicture.h"
#include "display/Seismograms.h"
#include "display/SeismogramsPicture.h"
#include "map/MapPainter.h"
#include "platform/Surface.h"
#include "view/View.h"

namespace orvane {

namespace {

// Seismogram pages are laid out on a canvas of this many logical units
// across (about a screen window's width), scaled to the page, so that their
// text has the size it has on the screen relative to the traces.
constexpr int kCanvasWidth = 1000;

// Replays @p picture, painted on a canvas of @p canvas logical units, into
// @p target (device pixels). The windows' painters clip to their areas in
// the units they paint in; recorded on a picture, those clips scale with it.
void PlayCanvas(Surface& surface, const QPicture& picture, const QRect& target, const QSize& canvas) {
  QPainter& painter = surface.Painter();
  painter.save();
  painter.resetTransform();
  painter.setClipping(false);
  painter.translate(target.topLeft());
  // A picture replays at the resolution of the device it is played on;
  // undo that, the target rectangle alone gives the scale.
  const double dpiX = static_cast<double>(picture.logicalDpiX()) / painter.device()->logicalDpiX();
  const double dpiY = static_cast<double>(picture.logicalDpiY()) / painter.device()->logicalDpiY();
  painter.scale(dpiX * target.width() / canvas.width(), dpiY * target.height() / canvas.height());
  painter.drawPicture(0, 0, picture);
  painter.restore();
}

int CanvasHeight(const QSize& page) {
  return std::max(1, static_cast<int>(static_cast<long long>(kCanvasWidth) * page.height() / std::max(1, page.width())));
}

}  // namespace

void PaintGlobePage(Surface& surface, const QSize& page, const MapPicture& picture) {
  const int w = std::max(1, picture.client.Width());
  const int h = std::max(1, picture.client.Height());
  const double scale = std::min(static_cast<double>(page.width()) / w, static_cast<double>(page.height()) / h);
  const int pw = std::max(1, static_cast<int>(w * scale));
  const int ph = std::max(1, static_cast<int>(h * scale));
  surface.SetMapMode(MapMode::Anisotropic);
  surface.SetWindowExtent(w, h);
  surface.SetViewportExtent(pw, ph);
  surface.SetViewportOrigin((page.width() - pw) / 2, 0);
  PaintMapPicture(surface, picture);
  surface.SetViewportOrigin(0, 0);
  surface.SetMapMode(MapMode::Text);
}

void PaintSeismogramsPage(Surface& surface, const QSize& page, std::vector<KSAC*> records,
                          std::span<const int> gains) {
  const int height = CanvasHeight(page);
  QPicture picture;
  {
    Surface canvas(picture);
    const SeismogramsLayout layout =
        LayOutSeismograms(kCanvasWidth, height, canvas.GetTextMetrics(), static_cast<int>(records.size()));
    SeismogramsView view;
    view.gains = gains;
    PaintSeismogramsPicture(canvas, layout, records, view, layout.clientArea);
  }
  PlayCanvas(surface, picture, QRect(0, 0, page.width(), page.height()), QSize(kCanvasWidth, height));
}

void PaintEventStrip(Surface& surface, const QSize& page, int slot, KSAC& record, float gain) {
  const int stripHeight = CanvasHeight(page) / kEventsPerPage;
  const int deviceTop = static_cast<int>(static_cast<long long>(page.height()) * slot / kEventsPerPage);
  const int deviceBottom = static_cast<int>(static_cast<long long>(page.height()) * (slot + 1) / kEventsPerPage);
  QPicture picture;
  {
    Surface canvas(picture);
    EventView view;
    view.gain = gain;
    PaintEventPicture(canvas, LayOutEvent(kCanvasWidth, stripHeight, canvas.GetTextMetrics()), record, view);
  }
  // A little room between the strips.
  PlayCanvas(surface, picture, QRect(0, deviceTop, page.width(), (deviceBottom - deviceTop) * 15 / 16),
             QSize(kCanvasWidth, stripHeight));
}

int PrintView(QPrinter& printer, const View& view, QString* error) {
  Surface surface(printer);
  if (!surface.IsActive()) {
    if (error != nullptr) *error = QObject::tr("The printer could not start printing.");
    return 0;
  }
  const QSize page = printer.pageLayout().paintRectPixels(printer.resolution()).size();
  PaintGlobePage(surface, page, view.Picture());
  int pages = 1;
  // The seismograms follow on pages of their own, whole records as the
  // windows show them at their first zoom, with the student's gains.
  int slot = kEventsPerPage;
  for (QMdiSubWindow* frame : view.SeismogramWindows()) {
    if (auto* all = qobject_cast<Seismograms*>(frame->widget())) {
      std::vector<KSAC*> records(all->Records().begin(), all->Records().end());
      std::vector<int> gains;
      for (int row = 0; row < static_cast<int>(records.size()); ++row) gains.push_back(all->GainOfRow(row));
      printer.newPage();
      ++pages;
      PaintSeismogramsPage(surface, page, std::move(records), gains);
      slot = kEventsPerPage;
    } else if (auto* one = qobject_cast<Event*>(frame->widget())) {
      if (slot == kEventsPerPage) {
        printer.newPage();
        ++pages;
        slot = 0;
      }
      PaintEventStrip(surface, page, slot++, one->Record(), one->Gain());
    }
  }
  return pages;
}

}  // namespace orvane
