// orvane: the program.
//
//   orvane [FILE...]                                        opens FILE... as the event
//   orvane EXERCISE.orvex                                   opens a saved exercise
//   orvane --screenshot OUT.png [--size WxH] [FILE...]      writes the window to OUT.png and exits
//   orvane --print-pdf OUT.pdf [--size WxH] [FILE...]       prints the view to a PDF file and exits
//   orvane --unregister [FILE...]                           removes Orvane's desktop entries first
//
// A normal start registers Orvane with the desktop (menu entry, file types);
// "--unregister" (any case, or a leading part such as -u) removes that instead.
// The files' formats follow their names as in the open dialog (".set" PEPP,
// ".psn" PSN, anything else SAC, or PEPP when the SAC reader refuses it).
// An exercise file (.orvex) opens alone, not together with seismograms.
// --screenshot needs no display: it draws on Qt's offscreen platform.
// Unsaved work of a normal run is kept in a recovery file and offered back
// at the next start if the program ended without closing.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryFile>
#include <QPixmap>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/DesktopRegistration.h"
#include "app/Printout.h"
#include "app/TSDIDecFrame.h"
#include "platform/ErrorReport.h"
#include "view/View.h"

namespace {

struct Options {
  bool unregister = false;
  QString screenshot;
  QString printPdf;
  int width = 1024;
  int height = 768;
  QStringList files;
};

int Usage(const char* why) {
  std::fprintf(stderr,
               "orvane: %s\nusage: orvane [--unregister] [FILE... | EXERCISE.orvex]\n"
               "       orvane --screenshot OUT.png [--size WxH] [FILE...]\n"
               "       orvane --print-pdf OUT.pdf [--size WxH] [FILE...]\n",
               why);
  return 2;
}

bool Parse(int argc, char** argv, Options& o, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--screenshot" || arg == "--size" || arg == "--print-pdf") {
      if (i + 1 >= argc) {
        error = arg + " needs a value";
        return false;
      }
      const std::string value = argv[++i];
      if (arg == "--screenshot") {
        o.screenshot = QString::fromLocal8Bit(value.c_str());
        continue;
      }
      if (arg == "--print-pdf") {
        o.printPdf = QString::fromLocal8Bit(value.c_str());
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
  int exercises = 0;
  for (const QString& file : o.files) exercises += QFileInfo(file).suffix().compare("orvex", Qt::CaseInsensitive) == 0;
  if (exercises > 0 && o.files.size() > 1) {
    error = "an exercise file (.orvex) opens alone, without other files";
    return false;
  }
  return true;
}

// Prints the view into @p path through a temporary file beside it, so that a
// failed printout leaves no partial PDF behind.
int PrintToPdf(const orvane::View& view, const QString& path) {
  QTemporaryFile temporary(QFileInfo(path).absolutePath() + "/.orvane-print-XXXXXX.pdf");
  if (!temporary.open()) {
    std::fprintf(stderr, "orvane: %s: cannot write there\n", path.toLocal8Bit().constData());
    return 1;
  }
  temporary.close();
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(temporary.fileName());
  printer.setPageOrientation(QPageLayout::Landscape);
  QString error;
  if (orvane::PrintView(printer, view, &error) == 0) {
    std::fprintf(stderr, "orvane: %s: %s\n", path.toLocal8Bit().constData(), error.toLocal8Bit().constData());
    return 1;
  }
  QFile::remove(path);
  // The file gets the permissions of any new file, not those of the private
  // temporary one.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::chmod(temporary.fileName().toLocal8Bit().constData(), 0666 & ~mask);
  if (!QFile::rename(temporary.fileName(), path)) {
    std::fprintf(stderr, "orvane: %s: cannot write the printout\n", path.toLocal8Bit().constData());
    return 1;
  }
  temporary.setAutoRemove(false);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string error;
  if (!Parse(argc, argv, options, error)) return Usage(error.c_str());
  // A screenshot or a printout is drawn offscreen whatever display the
  // environment names, and changes nothing of the user's: no settings, no
  // recent events, no desktop registration.
  const bool headless = !options.screenshot.isEmpty() || !options.printPdf.isEmpty();
  if (headless) qputenv("QT_QPA_PLATFORM", "offscreen");

  QApplication app(argc, argv);
  QApplication::setApplicationName("Orvane");
  QApplication::setOrganizationName("Halvergate");

  auto* view = new orvane::View;
  view->SetShowSplash(!headless);
  view->SetKeepSettings(!headless);
  // The recent events are kept in Orvane.ini where the program starts;
  // a screenshot keeps nothing.
  const QString recent = headless ? QString() : QDir::current().filePath("Orvane.ini");
  orvane::TSDIDecFrame frame(view, recent);
  // Reports go to standard output as always, and the latest one to the status bar.
  orvane::SetErrorReportSink([&frame](const orvane::ErrorReportEntry& entry) {
    orvane::WriteErrorReportToStandardOutput(entry);
    frame.ShowReport(entry);
  });

  if (!headless) {
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // An installed Orvane is registered by its installation; the program
    // registers itself only when it runs from elsewhere (a build tree).
    const bool installed =
        QFile::exists(QCoreApplication::applicationDirPath() + "/../share/applications/orvane.desktop");
    if (options.unregister)
      orvane::UnregisterFromDesktop(dataHome);
    else if (!installed)
      orvane::RegisterWithDesktop(dataHome, QCoreApplication::applicationFilePath());
  }

  // Unsaved work survives a crash, but not into a screenshot or a printout.
  frame.SetRecoveryEnabled(!headless);
  const bool exercise =
      options.files.size() == 1 && QFileInfo(options.files[0]).suffix().compare("orvex", Qt::CaseInsensitive) == 0;
  // The seismogram windows are placed by the size of the view, so the
  // event or exercise given on the command line opens once the frame has
  // its size; the offer to restore unsaved work comes over the window.
  const auto openFiles = [&] {
    QApplication::processEvents();
    frame.OfferRecovery();
    if (exercise)
      frame.OpenExerciseFile(options.files[0]);
    else if (!options.files.isEmpty())
      frame.OpenEventFiles(options.files);
    QApplication::processEvents();
  };
  int status = 0;
  if (!options.printPdf.isEmpty()) {
    frame.resize(options.width, options.height);
    frame.show();
    openFiles();
    status = PrintToPdf(*view, options.printPdf);
  } else if (!options.screenshot.isEmpty()) {
    frame.resize(options.width, options.height);
    frame.show();
    openFiles();
    QApplication::processEvents();
    const QPixmap picture = frame.grab();
    QSaveFile file(options.screenshot);
    if (picture.isNull() || !file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit()) {
      std::fprintf(stderr, "orvane: %s: cannot write the screenshot\n", options.screenshot.toLocal8Bit().constData());
      status = 1;
    }
  } else {
    frame.showMaximized();
    openFiles();
    status = QApplication::exec();
  }
  orvane::SetErrorReportSink({});
  return status;
}
