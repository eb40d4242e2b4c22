#include "app/TOrvaneApp.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QPrinter>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cstdio>
#include <string_view>
#include <utility>

#include "app/DesktopRegistration.h"
#include "app/Printout.h"
#include "app/TSDIDecFrame.h"
#include "platform/ErrorReport.h"
#include "platform/FileWriter.h"
#include "view/View.h"

namespace orvane {
namespace {

bool IsExercise(const QString& file) { return QFileInfo(file).suffix().compare("orvex", Qt::CaseInsensitive) == 0; }

// Reads the value of --screenshot, --print-pdf or --size into @p o.
bool ParseValue(const std::string& option, const std::string& value, StartOptions& o, std::string& error) {
  if (value.empty() && option != "--size") {
    error = option + " needs a file name";
    return false;
  }
  if (option == "--screenshot") {
    o.screenshot = QString::fromLocal8Bit(value.c_str());
    return true;
  }
  if (option == "--print-pdf") {
    o.printPdf = QString::fromLocal8Bit(value.c_str());
    return true;
  }
  int w = 0, h = 0;
  char extra = 0;
  if (std::sscanf(value.c_str(), "%dx%d%c", &w, &h, &extra) != 2 || w < 200 || h < 150 || w > 8192 || h > 8192) {
    error = "--size needs WxH between 200x150 and 8192x8192, not '" + value + "'";
    return false;
  }
  o.width = w;
  o.height = h;
  return true;
}

// @p text as it may be shown on a terminal: control characters escaped.
std::string Shown(const QString& text) { return EscapeControlCharacters(text.toLocal8Bit().toStdString()); }

// Writes @p bytes to @p path through the checked writer; a failure is named
// on standard error. @return the exit status: 0 written, 1 not.
int WriteOutput(const QString& path, const QByteArray& bytes, const char* what) {
  std::string why;
  if (WriteFileAtomically(QFile::encodeName(path).toStdString(),
                          std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), &why))
    return 0;
  std::fprintf(stderr, "orvane: %s: cannot write the %s (%s)\n", Shown(path).c_str(), what,
               EscapeControlCharacters(why).c_str());
  return 1;
}

// Prints the view into a private temporary file, then writes the PDF to
// @p path, so that a failed printout leaves whatever is there as it was.
int PrintToPdf(const View& view, const QString& path) {
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
  if (PrintView(printer, view, &error) == 0) return fail(error);
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

bool TOrvaneApp::ParseCommandLine(int argc, char** argv, StartOptions& o, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--screenshot" || arg == "--size" || arg == "--print-pdf") {
      if (i + 1 >= argc) {
        error = arg + " needs a value";
        return false;
      }
      if (!ParseValue(arg, argv[++i], o, error)) return false;
    } else if (arg == "--teacher") {
      o.teacher = true;
    } else if (IsUnregisterSwitch(QString::fromLocal8Bit(argv[i]))) {
      o.unregister = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option '" + arg + "'";
      return false;
    } else {
      o.files << QString::fromLocal8Bit(argv[i]);
    }
  }
  int exercises = 0;
  for (const QString& file : o.files) exercises += IsExercise(file);
  if (exercises > 0 && o.files.size() > 1) {
    error = "an exercise file (.orvex) opens alone, without other files";
    return false;
  }
  return true;
}

int TOrvaneApp::Usage(const std::string& why) {
  std::fprintf(stderr,
               "orvane: %s\nusage: orvane [--unregister] [--teacher] [FILE... | EXERCISE.orvex]\n"
               "       orvane --screenshot OUT.png [--size WxH] [--teacher] [FILE...]\n"
               "       orvane --print-pdf OUT.pdf [--size WxH] [--teacher] [FILE...]\n"
               "--teacher adds the misfit map and the answer key to the Options menu.\n",
               why.c_str());
  return 2;
}

void TOrvaneApp::PrepareEnvironment(const StartOptions& options) {
  if (options.Headless()) qputenv("QT_QPA_PLATFORM", "offscreen");
}

TOrvaneApp::TOrvaneApp(int& argc, char** argv, StartOptions options)
    : QApplication(argc, argv), options_(std::move(options)) {
  setApplicationName("Orvane");
  setOrganizationName("Halvergate");
  InitMainWindow();
}

TOrvaneApp::~TOrvaneApp() {
  SetErrorReportSink({});
  frame_.reset();
}

void TOrvaneApp::InitMainWindow() {
  // A screenshot or a printout changes nothing of the user's: no settings,
  // no recent events, no desktop registration, no recovery file.
  const bool headless = options_.Headless();
  view_ = new View;
  view_->SetShowSplash(!headless);
  view_->SetKeepSettings(!headless);
  // The recent events are kept in Orvane.ini where the program starts.
  const QString recent = headless ? QString() : QDir::current().filePath("Orvane.ini");
  frame_ = std::make_unique<TSDIDecFrame>(
      view_, recent, options_.teacher ? TSDIDecFrame::Audience::kTeacher : TSDIDecFrame::Audience::kStudent);
  // Reports go to standard output as always, and the latest one to the status bar.
  SetErrorReportSink([frame = frame_.get()](const ErrorReportEntry& entry) {
    WriteErrorReportToStandardOutput(entry);
    frame->ShowReport(entry);
  });
  // Unsaved work survives a crash, but not into a screenshot or a printout.
  frame_->SetRecoveryEnabled(!headless);
}

void TOrvaneApp::UpdateDesktopRegistration() {
  const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  // An installed Orvane is registered by its installation; the program
  // registers itself only when it runs from elsewhere (a build tree).
  const bool installed = QFile::exists(applicationDirPath() + "/../share/applications/orvane.desktop");
  QString why;
  if (options_.unregister)
    UnregisterFromDesktop(dataHome);
  else if (!installed && !RegisterWithDesktop(dataHome, applicationFilePath(), &why))
    std::fprintf(stderr, "orvane: not registered with the desktop: %s\n", Shown(why).c_str());
}

// The seismogram windows are placed by the size of the view, so the event or
// exercise given on the command line opens once the frame has its size; the
// offer to restore unsaved work comes over the window.
// @return whether what was asked for could be opened (true when nothing was).
bool TOrvaneApp::OpenStartFiles() {
  processEvents();
  frame_->OfferRecovery();
  bool opened = true;
  if (options_.files.size() == 1 && IsExercise(options_.files[0]))
    opened = frame_->OpenExerciseFile(options_.files[0]);
  else if (!options_.files.isEmpty())
    opened = frame_->OpenEventFiles(options_.files);
  processEvents();
  return opened;
}

int TOrvaneApp::RunHeadless() {
  frame_->resize(options_.width, options_.height);
  frame_->show();
  if (!OpenStartFiles()) {
    // No picture of an empty globe in place of the event that was asked for.
    const QString why = view_->MessageText();
    std::fprintf(stderr, "orvane: %s\n", why.isEmpty() ? "nothing could be opened" : Shown(why).c_str());
    return 1;
  }
  processEvents();
  int status = 0;
  if (!options_.screenshot.isEmpty()) status |= WriteScreenshot(*frame_, options_.screenshot);
  if (!options_.printPdf.isEmpty()) status |= PrintToPdf(*view_, options_.printPdf);
  return status;
}

int TOrvaneApp::Run() {
  int status = 0;
  if (options_.Headless()) {
    status = RunHeadless();
  } else {
    UpdateDesktopRegistration();
    frame_->showMaximized();
    OpenStartFiles();
    status = exec();
  }
  SetErrorReportSink({});
  return status;
}

}  // namespace orvane
