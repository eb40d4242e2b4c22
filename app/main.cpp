// orvane: the program.
//
//   orvane [FILE...]                                        opens FILE... as the event
//   orvane EXERCISE.orvex                                   opens a saved exercise
//   orvane --screenshot OUT.png [--size WxH] [FILE...]      writes the window to OUT.png and exits
//   orvane --print-pdf OUT.pdf [--size WxH] [FILE...]       prints the view to a PDF file and exits
//                                                           (both options together write both files)
//   orvane --unregister [FILE...]                           removes Orvane's desktop entries first
//
// A normal start registers Orvane with the desktop (menu entry, file types);
// "--unregister" (any case, or a leading part such as -u) removes that instead.
// The files' formats follow their names as in the open dialog (".set" PEPP,
// ".psn" PSN, anything else SAC, or PEPP when the SAC reader refuses it).
// An exercise file (.orvex) opens alone, not together with seismograms.
// --screenshot and --print-pdf need no display: they draw on Qt's offscreen
// platform. They exit 0 when every file asked for was written, 1 when one
// could not be written or when files were given and none could be opened
// (the reasons on standard error), 2 for a command line that makes no sense.
// Their files are written as every file of Orvane is (platform/FileWriter.h):
// through a link to the file it names, a FIFO or device in place, a regular
// file replaced whole with its mode kept, or left as it was.
// Unsaved work of a normal run is kept in a recovery file and offered back
// at the next start if the program ended without closing.

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QPrinter>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "app/DesktopRegistration.h"
#include "app/Printout.h"
#include "app/TSDIDecFrame.h"
#include "platform/ErrorReport.h"
#include "platform/FileWriter.h"
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
      if (value.empty() && arg != "--size") {
        error = arg + " needs a file name";
        return false;
      }
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

// @p text as it may be shown on a terminal: control characters escaped.
std::string Shown(const QString& text) { return orvane::EscapeControlCharacters(text.toLocal8Bit().toStdString()); }

// Writes @p bytes to @p path through the checked writer; a failure is named
// on standard error. @return the exit status: 0 written, 1 not.
int WriteOutput(const QString& path, const QByteArray& bytes, const char* what) {
  std::string why;
  if (orvane::WriteFileAtomically(QFile::encodeName(path).toStdString(),
                                  std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), &why))
    return 0;
  std::fprintf(stderr, "orvane: %s: cannot write the %s (%s)\n", Shown(path).c_str(), what,
               orvane::EscapeControlCharacters(why).c_str());
  return 1;
}

// Prints the view into a private temporary file, then writes the PDF to
// @p path, so that a failed printout leaves whatever is there as it was.
int PrintToPdf(const orvane::View& view, const QString& path) {
  const auto fail = [&](const QString& why) {
    std::fprintf(stderr, "orvane: %s: %s\n", Shown(path).c_str(), Shown(why).c_str());
    return 1;
  };
  QTemporaryFile temporary(QDir::temp().filePath("orvane-print-XXXXXX.pdf"));
  if (!temporary.open()) return fail(QStringLiteral("no temporary file for the printout (%1)").arg(temporary.errorString()));
  temporary.close();
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(temporary.fileName());
  printer.setPageOrientation(QPageLayout::Landscape);
  QString error;
  if (orvane::PrintView(printer, view, &error) == 0) return fail(error);
  QFile printed(temporary.fileName());
  const QByteArray pdf = printed.open(QIODevice::ReadOnly) ? printed.readAll() : QByteArray();
  // The printer says nothing of a write that failed (a full temporary
  // folder): a PDF that does not end as every PDF does was cut short.
  if (!pdf.trimmed().endsWith("%%EOF")) return fail(QStringLiteral("the printout could not be made whole"));
  return WriteOutput(path, pdf, "printout");
}

// Writes the frame as it is shown to @p path as a PNG picture.
int WriteScreenshot(QWidget& frame, const QString& path) {
  const QPixmap picture = frame.grab();
  QByteArray png;
  QBuffer buffer(&png);
  if (picture.isNull() || !buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG")) {
    std::fprintf(stderr, "orvane: %s: the window could not be drawn\n", Shown(path).c_str());
    return 1;
  }
  return WriteOutput(path, png, "screenshot");
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
    QString why;
    if (options.unregister)
      orvane::UnregisterFromDesktop(dataHome);
    else if (!installed && !orvane::RegisterWithDesktop(dataHome, QCoreApplication::applicationFilePath(), &why))
      std::fprintf(stderr, "orvane: not registered with the desktop: %s\n", Shown(why).c_str());
  }

  // Unsaved work survives a crash, but not into a screenshot or a printout.
  frame.SetRecoveryEnabled(!headless);
  const bool exercise =
      options.files.size() == 1 && QFileInfo(options.files[0]).suffix().compare("orvex", Qt::CaseInsensitive) == 0;
  // The seismogram windows are placed by the size of the view, so the
  // event or exercise given on the command line opens once the frame has
  // its size; the offer to restore unsaved work comes over the window.
  // Whether what was asked for could be opened (true when nothing was).
  const auto openFiles = [&] {
    QApplication::processEvents();
    frame.OfferRecovery();
    bool opened = true;
    if (exercise)
      opened = frame.OpenExerciseFile(options.files[0]);
    else if (!options.files.isEmpty())
      opened = frame.OpenEventFiles(options.files);
    QApplication::processEvents();
    return opened;
  };
  int status = 0;
  if (headless) {
    frame.resize(options.width, options.height);
    frame.show();
    if (!openFiles()) {
      // No picture of an empty globe in place of the event that was asked for.
      const QString why = view->MessageText();
      std::fprintf(stderr, "orvane: %s\n", why.isEmpty() ? "nothing could be opened" : Shown(why).c_str());
      status = 1;
    } else {
      QApplication::processEvents();
      if (!options.screenshot.isEmpty()) status |= WriteScreenshot(frame, options.screenshot);
      if (!options.printPdf.isEmpty()) status |= PrintToPdf(*view, options.printPdf);
    }
  } else {
    frame.showMaximized();
    openFiles();
    status = QApplication::exec();
  }
  orvane::SetErrorReportSink({});
  return status;
}
