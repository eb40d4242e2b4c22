#include "app/TSDIDecFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPageSetupDialog>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>

#include "app/HelpWindow.h"
#include "app/MenuTable.h"
#include "app/Printout.h"
#include "app/TOrvaneAboutDlg.h"
#include "location/EarthModel.h"
#include "view/View.h"

namespace orvane {
namespace {

// The desktop theme's icon for a tool-bar command, or a plain drawing of our
// own where the theme has none.
QIcon ToolIcon(int id) {
  struct Entry {
    int id;
    const char* theme;
    const char* glyph;
  } static const entries[] = {{kCmOpenEvent, "document-open", "\u25A4"}, {kCmNorth, "go-up", "\u25B2"},
                              {kCmSouth, "go-down", "\u25BC"},        {kCmWest, "go-previous", "\u25C0"},
                              {kCmEast, "go-next", "\u25B6"},         {kCmZoomIn, "zoom-in", "+"},
                              {kCmZoomOut, "zoom-out", "\u2212"}};
  for (const Entry& e : entries) {
    if (e.id != id) continue;
    QIcon icon = QIcon::fromTheme(e.theme);
    if (!icon.isNull()) return icon;
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0, 0, 128));
    QFont font = painter.font();
    font.setPixelSize(18);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QString::fromUtf8(e.glyph));
    return QIcon(pixmap);
  }
  return {};
}

const char* const kPaneNames[5] = {"pointerLatField", "pointerLonField", "centreLatField", "centreLonField",
                                   "scaleField"};
const int kPaneCharacters[5] = {5, 5, 5, 5, 10};

}  // namespace

TSDIDecFrame::TSDIDecFrame(View* view, const QString& recentEventsFile, Audience audience, QWidget* parent)
    : QMainWindow(parent), view_(view), audience_(audience), recentFile_(recentEventsFile) {
  setWindowTitle("Orvane");
  setObjectName("TSDIDecFrame");
  setCentralWidget(view_);
  BuildMenus();
  BuildToolBar();
  BuildStatusBar();
  connect(view_, &View::optionsChanged, this, &TSDIDecFrame::UpdateCheckMarks);
  connect(view_, &View::messageChanged, this, [this](const QString& text) { statusBar()->showMessage(text); });
  connect(view_, &View::pointerReadoutChanged, this, [this](const QString& lat, const QString& lon) {
    panes_[0]->setText(lat);
    panes_[1]->setText(lon);
  });
  connect(view_, &View::centreReadoutChanged, this,
          [this](const QString& lat, const QString& lon, const QString& scale) {
            panes_[2]->setText(lat);
            panes_[3]->setText(lon);
            panes_[4]->setText(scale);
          });
  connect(view_, &View::eventOpened, this, &TSDIDecFrame::RememberEvent);
  // Seismograms opened as an event belong to no exercise file yet.
  connect(view_, &View::eventOpened, this, [this] { exercisePath_.clear(); });
  connect(view_, &View::workChanged, this, &TSDIDecFrame::WorkChanged);
  recoveryTimer_.setSingleShot(true);
  recoveryTimer_.setInterval(500);
  connect(&recoveryTimer_, &QTimer::timeout, this, &TSDIDecFrame::WriteRecovery);
  connect(fileMenu_, &QMenu::aboutToShow, this, &TSDIDecFrame::UpdatePrintCommands);
  // A recent-events file that is not a regular file (a FIFO would keep the
  // start waiting for ever) is neither read nor written.
  QStringList notes;
  if (!view_->MessageText().isEmpty()) notes << view_->MessageText();
  if (!recentFile_.isEmpty() && QFileInfo::exists(recentFile_) && !QFileInfo(recentFile_).isFile()) {
    notes << tr("The recent-events file %1 is not a regular file: the recent events are not kept.")
                 .arg(QDir::toNativeSeparators(recentFile_));
    recentFile_.clear();
  }
  if (!recentFile_.isEmpty()) recent_ = ReadRecentEvents(recentFile_);
  UpdateRecentMenu();
  UpdateCheckMarks();
  if (!notes.isEmpty()) statusBar()->showMessage(notes.join(QLatin1Char(' ')));
}

void TSDIDecFrame::RememberEvent(const QStringList& files, int format) {
  RecentEvent opened{files, std::nullopt};
  if (format >= 0) opened.format = static_cast<SeismogramFormat>(format);
  recent_ = WithRecentEvent(recent_, opened);
  if (!recentFile_.isEmpty()) WriteRecentEvents(recentFile_, recent_);
  UpdateRecentMenu();
}

void TSDIDecFrame::UpdateRecentMenu() {
  for (QAction* a : recentActions_) {
    fileMenu_->removeAction(a);
    a->deleteLater();
  }
  recentActions_.clear();
  recentSeparator_->setVisible(!recent_.empty());
  int n = 0;
  for (const RecentEvent& event : recent_) {
    // An "&" in a file name is written, not taken for a mnemonic.
    QString label = event.Label();
    label.replace(QLatin1Char('&'), QStringLiteral("&&"));
    auto* action = new QAction(QStringLiteral("&%1 %2").arg(++n).arg(label), fileMenu_);
    action->setObjectName(QStringLiteral("recent%1").arg(n));
    action->setStatusTip(tr("Opens this event again: %1").arg(event.files.join(", ")));
    connect(action, &QAction::triggered, this, [this, event] { OpenEventFiles(event.files, event.format); });
    fileMenu_->insertAction(recentSeparator_, action);
    recentActions_ << action;
  }
}

void TSDIDecFrame::BuildMenus() {
  QMenu* menu = nullptr;
  QString popup;
  for (const MenuEntry& entry : MainMenu()) {
    if (menu == nullptr || popup != entry.popup) {
      popup = entry.popup;
      menu = menuBar()->addMenu(popup);
      if (fileMenu_ == nullptr) fileMenu_ = menu;
    }
    // The recent events go between the print commands and Exit.
    if (entry.id == kCmExit) recentSeparator_ = menu->addSeparator();
    if (entry.text == nullptr) {
      menu->addSeparator();
      continue;
    }
    // The text after a tab is the accelerator shown beside the item.
    const QString full = QString::fromUtf8(entry.text);
    const QString text = full.section('\t', 0, 0);
    QAction* action = menu->addAction(text);
    action->setObjectName(QStringLiteral("id%1").arg(entry.id));
    if (full.contains('\t')) action->setShortcut(QKeySequence(full.section('\t', 1)));
    if (entry.hint != nullptr) action->setStatusTip(QString::fromUtf8(entry.hint));
    actions_.insert(entry.id, action);
    Route(entry.id, action);
    if (entry.id == kCmOneWindow) BuildOptionItems(menu);
  }
}

void TSDIDecFrame::BuildOptionItems(QMenu* options) {
  // The Earth model: one radio item per model whose tables the program ships.
  options->addSeparator();
  QMenu* models = options->addMenu(tr("&Earth model"));
  models->setObjectName(QStringLiteral("earthModelMenu"));
  models->setAccessibleName(tr("Earth model"));
  auto* group = new QActionGroup(models);
  group->setExclusive(true);
  const struct {
    EarthModel model;
    int id;
    const char* text;
  } items[] = {{EarthModel::kIasp91, kCmModelIasp91, "&IASP91"},
               {EarthModel::kAk135, kCmModelAk135, "&AK135"},
               {EarthModel::kJB, kCmModelJB, "&Jeffreys-Bullen"}};
  for (const auto& item : items) {
    QAction* action = models->addAction(tr(item.text));
    action->setObjectName(QStringLiteral("id%1").arg(item.id));
    action->setCheckable(true);
    action->setActionGroup(group);
    action->setStatusTip(tr("Trials use the travel times of the %1 Earth model")
                             .arg(QString::fromLatin1(EarthModelTitle(item.model))));
    const EarthModel model = item.model;
    connect(action, &QAction::triggered, view_, [v = view_, model] { v->SetModel(model); });
    actions_.insert(item.id, action);
  }
  // The misfit map and the answer key give the answer away: they are there
  // only when the program was started for a teacher, and off at every start.
  if (audience_ != Audience::kTeacher) return;
  options->addSeparator();
  QAction* misfit = options->addAction(tr("Show m&isfit map"));
  misfit->setObjectName(QStringLiteral("id%1").arg(kCmShowMisfit));
  misfit->setCheckable(true);
  misfit->setStatusTip(tr("Shades the globe by the RMS a trial would have there and marks the answer key"));
  connect(misfit, &QAction::toggled, view_, &View::SetShowMisfit);
  actions_.insert(kCmShowMisfit, misfit);
  QAction* key = options->addAction(tr("Show &answer key"));
  key->setObjectName(QStringLiteral("id%1").arg(kCmShowAnswerKey));
  key->setCheckable(true);
  key->setStatusTip(tr("Marks the epicentre of smallest RMS at this depth on the globe"));
  connect(key, &QAction::toggled, view_, &View::SetShowAnswerKey);
  actions_.insert(kCmShowAnswerKey, key);
}

void TSDIDecFrame::Route(int id, QAction* action) {
  View* v = view_;
  switch (id) {
    case kCmOpenEvent: connect(action, &QAction::triggered, this, &TSDIDecFrame::OpenEventCommand); break;
    case kCmCloseEvent: connect(action, &QAction::triggered, this, &TSDIDecFrame::CloseEventCommand); break;
    case kCmOpenExercise: connect(action, &QAction::triggered, this, &TSDIDecFrame::OpenExerciseCommand); break;
    case kCmSaveExercise: connect(action, &QAction::triggered, this, &TSDIDecFrame::SaveExercise); break;
    case kCmSaveExerciseAs: connect(action, &QAction::triggered, this, &TSDIDecFrame::SaveExerciseAs); break;
    case kCmExportTrials: connect(action, &QAction::triggered, this, &TSDIDecFrame::ExportTrialsCommand); break;
    case kCmExit: connect(action, &QAction::triggered, this, &QWidget::close); break;
    case kCmSetDepth: connect(action, &QAction::triggered, v, &View::SetDepthCommand); break;
    case kCmMaximumRms: connect(action, &QAction::triggered, v, &View::SetMaximumRmsCommand); break;
    case kCmPrint: connect(action, &QAction::triggered, this, &TSDIDecFrame::Print); break;
    case kCmPrintPreview: connect(action, &QAction::triggered, this, &TSDIDecFrame::PrintPreview); break;
    case kCmPrintSetup: connect(action, &QAction::triggered, this, &TSDIDecFrame::PrintSetup); break;
    case kCmHelpTopics:
      connect(action, &QAction::triggered, this, &TSDIDecFrame::ShowHelp);
      break;
    case kCmAbout:
      connect(action, &QAction::triggered, this, [this] {
        TOrvaneAboutDlg about(this);
        about.exec();
      });
      break;
    case kCmZoomIn: connect(action, &QAction::triggered, v, &View::ZoomIn); break;
    case kCmZoomOut: connect(action, &QAction::triggered, v, &View::ZoomOut); break;
    case kCmNorth: connect(action, &QAction::triggered, v, &View::North); break;
    case kCmSouth: connect(action, &QAction::triggered, v, &View::South); break;
    case kCmEast: connect(action, &QAction::triggered, v, &View::East); break;
    case kCmWest: connect(action, &QAction::triggered, v, &View::West); break;
    case kCmWantHints:
      action->setCheckable(true);
      connect(action, &QAction::triggered, v, &View::ToggleWantHints);
      break;
    case kCmMultipleWindows:
      action->setCheckable(true);
      connect(action, &QAction::triggered, v, &View::MultipleWindowSeismograms);
      break;
    case kCmOneWindow:
      action->setCheckable(true);
      connect(action, &QAction::triggered, v, &View::SeismogramsInOneWindow);
      break;
    default:
      action->setEnabled(false);
      break;
  }
}

void TSDIDecFrame::BuildToolBar() {
  QToolBar* bar = addToolBar(tr("Toolbar"));
  bar->setObjectName("id32041");
  bar->setMovable(true);
  QFont font = bar->font();
  font.setPointSize(10);
  bar->setFont(font);
  for (int id : ToolBarCommands()) {
    if (id == 0) {
      bar->addSeparator();
      continue;
    }
    QAction* action = actions_.value(id);
    if (action == nullptr) continue;
    action->setIcon(ToolIcon(id));
    bar->addAction(action);
  }
}

void TSDIDecFrame::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  const QFontMetrics metrics(bar->font());
  for (int i = 0; i < 5; ++i) {
    panes_[i] = new QLabel(bar);
    panes_[i]->setObjectName(kPaneNames[i]);
    panes_[i]->setAccessibleName(kPaneNames[i]);
    panes_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panes_[i]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // At least the width in characters the panes were designed with, and
    // enough for the longest text each shows, so that no read-out is cut.
    const QString widest = i < 4 ? QStringLiteral("180.00W") : QStringLiteral("Scale: 000,000,000 : 1");
    panes_[i]->setMinimumWidth(
        std::max(kPaneCharacters[i] * metrics.averageCharWidth(), metrics.horizontalAdvance(widest) + 12));
    bar->addPermanentWidget(panes_[i]);
  }
}

QLabel* TSDIDecFrame::Pane(int index) const { return index >= 0 && index < 5 ? panes_[index] : nullptr; }

void TSDIDecFrame::UpdateCheckMarks() {
  actions_.value(kCmOneWindow)->setChecked(view_->OneWindow());
  actions_.value(kCmMultipleWindows)->setChecked(!view_->OneWindow());
  actions_.value(kCmWantHints)->setChecked(view_->WantHints());
  for (int id : {kCmModelIasp91, kCmModelAk135, kCmModelJB}) {
    QAction* action = actions_.value(id);
    action->setChecked(kEarthModels[id - kCmModelIasp91] == view_->Model());
  }
}

TSDIDecFrame::~TSDIDecFrame() = default;

QPrinter& TSDIDecFrame::Printer() {
  if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
  return *printer_;
}

void TSDIDecFrame::UpdatePrintCommands() {
  // The print commands are there while the printer is usable.
  const bool usable = Printer().isValid();
  for (int id : {kCmPrint, kCmPrintPreview, kCmPrintSetup}) actions_.value(id)->setEnabled(usable);
}

void TSDIDecFrame::Print() {
  QPrintDialog dialog(&Printer(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  QString error;
  if (PrintView(Printer(), *view_, &error) == 0) statusBar()->showMessage(error);
}

void TSDIDecFrame::PrintPreview() {
  QPrintPreviewDialog preview(&Printer(), this);
  connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* printer) { PrintView(*printer, *view_); });
  preview.exec();
}

void TSDIDecFrame::PrintSetup() {
  QPageSetupDialog dialog(&Printer(), this);
  dialog.exec();
}

void TSDIDecFrame::ShowHelp() {
  if (help_ == nullptr) help_ = new HelpWindow(this);
  help_->show();
  help_->raise();
  help_->activateWindow();
}

void TSDIDecFrame::ShowReport(const ErrorReportEntry& entry) {
  statusBar()->showMessage(tr("Message %1:%2").arg(entry.code).arg(QString::fromStdString(entry.text)));
}

}  // namespace orvane
