#include "app/Printout.h"

#include <QPrinter>

#include <algorithm>

#include "map/MapPainter.h"
#include "platform/Surface.h"
#include "view/View.h"

namespace orvane {

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

int PrintView(QPrinter& printer, const View& view, QString* error) {
  Surface surface(printer);
  if (!surface.IsActive()) {
    if (error != nullptr) *error = QObject::tr("The printer could not start printing.");
    return 0;
  }
  const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
  PaintGlobePage(surface, page.size(), view.Picture());
  return 1;
}

}  // namespace orvane
