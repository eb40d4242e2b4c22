#pragma once
// TOrvaneApp: the application. It owns the start of the program: the command
// line, the main view and the frame around it, the desktop registration, the
// event or exercise given on the command line, and the runs without a
// window that write a picture or a printout and exit.
//
//   orvane [FILE...]                                        opens FILE... as the event
//   orvane EXERCISE.orvex                                   opens a saved exercise
//   orvane --screenshot OUT.png [--size WxH] [FILE...]      writes the window to OUT.png and exits
//   orvane --print-pdf OUT.pdf [--size WxH] [FILE...]       prints the view to a PDF file and exits
//                                                           (both options together write both files)
//   orvane --unregister [FILE...]                           removes Orvane's desktop entries first
//   orvane --teacher [...]                                  the teacher's program: Options > Show misfit
//                                                           map and Show answer key are there, and Export
//                                                           Trials gives the distances from the answer keys
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
#include <QString>
#include <QStringList>

#include <memory>
#include <string>

namespace orvane {

class TSDIDecFrame;
class View;

/// What the command line asks for.
struct StartOptions {
  bool unregister = false;
  bool teacher = false;  ///< --teacher: the items that give the answer away are there
  QString screenshot;  ///< --screenshot: the PNG to write, or empty
  QString printPdf;    ///< --print-pdf: the PDF to write, or empty
  int width = 1024;    ///< --size of the window of a screenshot or printout
  int height = 768;
  QStringList files;   ///< the seismograms, or one exercise file

  /// A screenshot or a printout: drawn offscreen, nothing of the user's changed.
  bool Headless() const { return !screenshot.isEmpty() || !printPdf.isEmpty(); }
};

class TOrvaneApp : public QApplication {
  Q_OBJECT

 public:
  /// @brief Reads the command line into @p options.
  /// @return false, with why in @p error, for one that makes no sense.
  static bool ParseCommandLine(int argc, char** argv, StartOptions& options, std::string& error);
  /// @brief Tells on standard error why the command line was refused and
  /// how it is written. @return the exit status 2.
  static int Usage(const std::string& why);
  /// @brief What must hold before the application exists: a screenshot or a
  /// printout is drawn offscreen whatever display the environment names.
  static void PrepareEnvironment(const StartOptions& options);

  /// @brief The application "Orvane" of "Halvergate", with its main view and
  /// frame made (not shown yet).
  TOrvaneApp(int& argc, char** argv, StartOptions options);
  ~TOrvaneApp() override;

  /// @brief Registers with the desktop, shows the frame, opens what the
  /// command line names and runs until the frame closes; a screenshot or a
  /// printout is written instead and the program ends.
  /// @return the exit status.
  int Run();

 private:
  void InitMainWindow();
  void UpdateDesktopRegistration();
  bool OpenStartFiles();
  int RunHeadless();

  StartOptions options_;
  View* view_ = nullptr;  ///< the frame's client, owned by the frame
  std::unique_ptr<TSDIDecFrame> frame_;
};

}  // namespace orvane
