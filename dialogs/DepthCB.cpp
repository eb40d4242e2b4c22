#include "dialogs/DepthCB.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>

#include <array>

#include "dialogs/DepthChoices.h"
#include "dialogs/DialogUnits.h"
#include "dialogs/EditText.h"

namespace orvane {
namespace {

// Layout in dialog units (x, y, width, height).
constexpr int kWidth = 129;
constexpr int kHeight = 145;
constexpr int kEditLimit = 12;
// The standard depths stand in two columns; each button is 44 x 13 units,
// wide enough for "600 km" and within the frame around them.
constexpr int kButtonWidth = 44;
constexpr int kButtonHeight = 13;
constexpr std::array<QPoint, kDepthChoiceCount> kButtonPlaces = {{
    {12, 8}, {12, 22}, {12, 35}, {12, 48}, {12, 61}, {12, 74},
    {76, 8}, {76, 23}, {76, 36}, {76, 50}, {76, 64},
}};

}  // namespace

DepthCB::DepthCB(QWidget* parent, int depthKm) : QDialog(parent), depthKm_(depthKm) {
  setWindowTitle(QStringLiteral("Depth"));
  setAccessibleName(QStringLiteral("Depth"));
  setFont(DialogUnits::DialogFont());
  const DialogUnits du(font());
  setFixedSize(du.Size(kWidth, kHeight));

  editBox_ = new QLineEdit(this);
  editBox_->setObjectName(ControlName(kDepthEditId));
  editBox_->setAccessibleName(QStringLiteral("Your depth in km"));
  editBox_->setMaxLength(kEditLimit);
  editBox_->setGeometry(du.Rect(76, 100, 40, 14));

  for (int i = 0; i < kDepthChoiceCount; ++i) {
    auto* button = new QRadioButton(QString::fromLatin1(depthChoices[i].caption), this);
    button->setObjectName(ControlName(depthChoices[i].id));
    button->setGeometry(du.Rect(kButtonPlaces[i].x(), kButtonPlaces[i].y(), kButtonWidth, kButtonHeight));
    connect(button, &QRadioButton::clicked, this, &DepthCB::StandardDepthClicked);
  }

  auto* yours = new QRadioButton(QStringLiteral("Yours"), this);
  yours->setObjectName(ControlName(kYoursId));
  yours->setGeometry(du.Rect(12, 100, 36, 13));
  connect(yours, &QRadioButton::clicked, this, &DepthCB::YoursClicked);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(ControlName(kDepthOkId));
  ok->setGeometry(du.Rect(40, 120, 50, 14));
  ok->setDefault(true);  // Enter in the edit box means OK
  connect(ok, &QPushButton::clicked, this, &DepthCB::OkClicked);

  // The frames are drawn over the buttons they enclose; clicks go through them.
  auto frame = [&](int id, const char* name, QRect rect) {
    auto* f = new QFrame(this);
    f->setObjectName(ControlName(id));
    f->setAccessibleName(QString::fromLatin1(name));
    f->setFrameStyle(QFrame::Box | QFrame::Sunken);
    f->setGeometry(rect);
    f->setAttribute(Qt::WA_TransparentForMouseEvents);
  };
  frame(kStandardFrameId, "Standard depths", du.Rect(8, 4, 112, 87));
  frame(kYoursFrameId, "Your depth", du.Rect(8, 95, 112, 46));

  // Set-up: the depth in the edit box and the button that stands for it.
  ShowDepth();
  if (auto* button = findChild<QRadioButton*>(ControlName(DepthButtonIdFor(depthKm_)))) button->setChecked(true);
}

QPoint DepthCB::panelPosition() const { return DialogUnits(font()).Point(0, 20); }

QMdiSubWindow* DepthCB::showIn(QMdiArea* area) {
  QMdiSubWindow* sub = area->addSubWindow(
      this, Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->setWindowTitle(windowTitle());
  sub->setAccessibleName(windowTitle());
  sub->adjustSize();
  sub->setFixedSize(sub->size());  // no sizing border
  sub->move(panelPosition());
  sub->show();
  // The keys start on the depth in use: the arrow keys choose the next one.
  for (QRadioButton* button : findChildren<QRadioButton*>())
    if (button->isChecked()) button->setFocus(Qt::OtherFocusReason);
  return sub;
}

void DepthCB::keyPressEvent(QKeyEvent* event) {
  // Inside a sub-window the dialog's own Escape would hide the panel and
  // leave an empty frame behind.
  auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
  if (sub != nullptr && event->matches(QKeySequence::Cancel)) {
    sub->close();
    return;
  }
  QDialog::keyPressEvent(event);
}

void DepthCB::StandardDepthClicked() {
  for (const DepthChoice& choice : depthChoices) {
    auto* button = findChild<QRadioButton*>(ControlName(choice.id));
    if (button != nullptr && button->isChecked()) {
      depthKm_ = choice.depthKm;
      ShowDepth();
      emit depthChosen(depthKm_);
      return;
    }
  }
}

void DepthCB::YoursClicked() {
  editBox_->setFocus(Qt::OtherFocusReason);
  editBox_->selectAll();  // a new depth can be typed straight away
}

void DepthCB::OkClicked() {
  const int typed = ParseEditInteger(editBox_->text().left(kEditReadLimit).toStdString());
  if (typed < kShallowestDepthKm || typed > kDeepestDepthKm) {
    // The panel goes on showing the depth in use.
    ShowDepth();
    emit depthRefused(QStringLiteral("No depth of %1 km: the travel-time tables serve %2 to %3 km.")
                          .arg(typed)
                          .arg(kShallowestDepthKm)
                          .arg(kDeepestDepthKm));
    return;
  }
  depthKm_ = typed;
  ShowDepth();
  emit depthChosen(depthKm_);
}

void DepthCB::ShowDepth() { editBox_->setText(QString::number(depthKm_)); }

}  // namespace orvane
