// orvane: the program.
//
//   orvane [FILE...]                                        opens FILE... as the event
//   orvane --screenshot OUT.png [--size WxH] [FILE...]      writes the window to OUT.png and exits
//   orvane --unregister [FILE...]                           removes Orvane's desktop entries first
//
// A normal start registers Orvane with the desktop (menu entry, file types);
// "--unregister" (any case, or a leading part such as -u) removes that instead.
// The files' formats follow their names as in the open dialog (".set" PEPP,
// ".psn" PSN, anything else SAC, or PEPP when the SAC reader refuses it).
// --screenshot needs no display: it draws on Qt's offscreen platform.

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/DesktopRegistration.h"
#include "app/TSDIDecFrame.h"
#include "platform/ErrorReport.h"
#include "view/View.h"

namespace {

struct Options {
  bool unregister = false;
  QString screenshot;
  int width = 1024;
  int height = 768;
  QStringList files;
};

int Usage(const char* why) {
  std::fprintf(stderr, "orvane: %s\nusage: orvane [FILE...]\n       orvane --screenshot OUT.png [--size WxH] [FILE...]\n",
               why);
  return 2;
}

bool Parse(int argc, char** argv, Options& o, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--screenshot" || arg == "--size") {
      if (i + 1 >= argc) {
        error = arg + " needs a value";
        return false;
      }
      const std::string value = argv[++i];
      if (arg == "--screenshot") {
        o.screenshot = QString::fromLocal8Bit(value.c_str());
        continue;
      }
      int w = 0, h = 0;
      char extra = 0;
      if (std::sscanf(value.c_str(), "%dx%d%c", &w, &h, &extra) != 2 || w < 200 || h < 150 || w > 8192 ||
          h > 8192) {
        error = "--size needs WxH between 200x150 and 8192x8192, not '" + value + "'";
        return false;
      }
      o.width = w;
      o.height = h;
    } else if (orvane::IsUnregisterSwitch(QString::fromLocal8Bit(argv[i]))) {
      o.unregister = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option '" + arg + "'";
      return false;
    } else {
      o.files << QString::fromLocal8Bit(argv[i]);
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string error;
  if (!Parse(argc, argv, options, error)) return Usage(error.c_str());
  // A screenshot is drawn offscreen whatever display the environment names.
  if (!options.screenshot.isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");

  QApplication app(argc, argv);
  QApplication::setApplicationName("Orvane");
  QApplication::setOrganizationName("Halvergate");

  auto* view = new orvane::View;
  view->SetShowSplash(options.screenshot.isEmpty());
  // The recent events are kept in Orvane.ini where the program starts;
  // a screenshot keeps nothing.
  const QString recent = options.screenshot.isEmpty() ? QDir::current().filePath("Orvane.ini") : QString();
  orvane::TSDIDecFrame frame(view, recent);
  // Reports go to standard output as always, and the latest one to the status bar.
  orvane::SetErrorReportSink([&frame](const orvane::ErrorReportEntry& entry) {
    orvane::WriteErrorReportToStandardOutput(entry);
    frame.ShowReport(entry);
  });

  if (options.screenshot.isEmpty()) {
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (options.unregister)
      orvane::UnregisterFromDesktop(dataHome);
    else
      orvane::RegisterWithDesktop(dataHome, QCoreApplication::applicationFilePath());
  }

  if (!options.files.isEmpty()) view->OpenEventFiles(options.files);

  int status = 0;
  if (!options.screenshot.isEmpty()) {
    frame.resize(options.width, options.height);
    frame.show();
    QApplication::processEvents();
    const QPixmap picture = frame.grab();
    QSaveFile file(options.screenshot);
    if (picture.isNull() || !file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit()) {
      std::fprintf(stderr, "orvane: %s: cannot write the screenshot\n", options.screenshot.toLocal8Bit().constData());
      status = 1;
    }
  } else {
    frame.showMaximized();
    status = QApplication::exec();
  }
  orvane::SetErrorReportSink({});
  return status;
}
