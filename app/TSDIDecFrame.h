#pragma once
// TSDIDecFrame: the main window. Its client is the main view; it carries the
// menu, the tool bar "Toolbar" and the status bar with its five read-out
// panes, all built from the menu table, and routes the commands to the view.

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <memory>

#include "app/RecentEvents.h"
#include "platform/ErrorReport.h"

class QAction;
class QLabel;
class QMenu;
class QPrinter;

namespace orvane {

class HelpWindow;
class View;

class TSDIDecFrame : public QMainWindow {
  Q_OBJECT

 public:
  /// @brief A frame around @p view, which it takes as its client (and owns).
  /// The recent events are kept in @p recentEventsFile ("Orvane.ini" in the
  /// directory the program started in); an empty name keeps none.
  explicit TSDIDecFrame(View* view, const QString& recentEventsFile = QString(), QWidget* parent = nullptr);
  ~TSDIDecFrame() override;

  /// The recent events shown in the File menu, newest first.
  const std::vector<RecentEvent>& RecentEvents() const { return recent_; }
  /// The menu items that reopen them.
  const QList<QAction*>& RecentEventActions() const { return recentActions_; }

  View* view() const { return view_; }
  /// The action of command @p id, or null.
  QAction* Action(int id) const { return actions_.value(id); }
  /// The five read-out panes: pointer latitude and longitude, centre latitude
  /// and longitude, scale.
  QLabel* Pane(int index) const;

  /// @brief Shows an error report in the status bar (the report itself goes
  /// to standard output as well, see platform/ErrorReport.h).
  void ShowReport(const ErrorReportEntry& entry);

 public slots:
  /// Puts the check marks of the options where the view's settings are.
  void UpdateCheckMarks();
  /// Opens the help window (one for the whole run).
  void ShowHelp();
  /// The print commands: the print dialog, the preview, the page set-up.
  void Print();
  void PrintPreview();
  void PrintSetup();
  /// Enables the print commands while the printer is usable.
  void UpdatePrintCommands();

 private:
  void BuildMenus();
  void BuildToolBar();
  void BuildStatusBar();
  void Route(int id, QAction* action);
  void RememberEvent(const QStringList& files, int format);
  void UpdateRecentMenu();
  QPrinter& Printer();

  View* view_;
  QHash<int, QAction*> actions_;
  QLabel* panes_[5] = {};
  QPointer<HelpWindow> help_;
  QString recentFile_;
  std::vector<RecentEvent> recent_;
  QMenu* fileMenu_ = nullptr;
  QAction* recentSeparator_ = nullptr;
  QList<QAction*> recentActions_;
  std::unique_ptr<QPrinter> printer_;  // made on first use
};

}  // namespace orvane
