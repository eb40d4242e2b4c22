#include "dialogs/EntryDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "dialogs/DialogUnits.h"
#include "dialogs/EditText.h"

namespace orvane {

EntryDialog::EntryDialog(QWidget* parent, const QString& caption, const QString& label)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setWindowTitle(caption);
  setAccessibleName(caption);
  setFont(DialogUnits::DialogFont());
  const DialogUnits du(font());
  setFixedSize(du.Size(181, 46));

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(ControlName(kOkId));
  ok->setGeometry(du.Rect(112, 6, 50, 14));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, [this] { OkClicked(); });

  editBox_ = new QLineEdit(this);
  editBox_->setObjectName(ControlName(kEditId));
  editBox_->setAccessibleName(label);
  editBox_->setMaxLength(kTextLimit);
  editBox_->setGeometry(du.Rect(12, 20, 52, 17));

  auto* text = new QLabel(label, this);
  text->setObjectName(ControlName(kLabelId));
  text->setBuddy(editBox_);
  text->setGeometry(du.Rect(16, 4, 48, 9));
  // A font wider than the one the layout was drawn for would cut the label
  // ("Maximum RMS"); it may grow to the right, where nothing else stands
  // before OK.
  if (text->sizeHint().width() > text->width()) text->resize(text->sizeHint().width(), text->height());

  // Cancel under OK, for those who look for it rather than press Escape.
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(ControlName(kCancelId));
  cancel->setGeometry(du.Rect(112, 24, 50, 14));
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  editBox_->setFocus(Qt::OtherFocusReason);
}

void EntryDialog::SetEntry(const QString& text) {
  editBox_->setText(text);
  editBox_->selectAll();
}

std::string EntryDialog::Entry() const { return editBox_->text().left(kEditReadLimit).toStdString(); }

}  // namespace orvane
