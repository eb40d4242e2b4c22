#include "app/HelpWindow.h"

#include <QUrl>

#include <string>

#include "platform/DataFile.h"

namespace orvane {

HelpWindow::HelpWindow(QWidget* parent) : QTextBrowser(parent) {
  setWindowTitle(tr("Orvane Help"));
  setObjectName("HelpWindow");
  setAccessibleName(tr("Orvane Help"));
  setWindowFlag(Qt::Window);
  setOpenExternalLinks(false);
  resize(720, 640);
  const std::string index = FindDataFile("help/index.html");
  if (index.empty()) {
    setPlainText(tr("The help pages (help/index.html in the data directory of Orvane) are missing. "
                    "Set ORVANE_DATA to the folder that holds them, or reinstall Orvane."));
    return;
  }
  hasPages_ = true;
  setSource(QUrl::fromLocalFile(QString::fromStdString(index)));
}

}  // namespace orvane
