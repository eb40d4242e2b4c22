#pragma once
// The common shape of the two modal entry boxes (the depth entry box and the
// maximum-RMS dialog): a fixed pop-up with a caption and a close button, an
// "OK" push button (id 1), one edit box (id 301), its label (id 102) and a
// "Cancel" push button (id 2) under OK, in that order. OK is the default
// button (Enter); Cancel, closing the window or Escape ends the dialog with
// Cancel.

#include <QDialog>
#include <QString>

#include <string>

class QLabel;
class QLineEdit;

namespace orvane {

class EntryDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kOkId = 1;
  static constexpr int kEditId = 301;
  static constexpr int kLabelId = 102;
  static constexpr int kCancelId = 2;
  static constexpr int kTextLimit = 255;

 protected:
  /// Builds the window with @p caption and the label @p label.
  EntryDialog(QWidget* parent, const QString& caption, const QString& label);

  /// Shows @p text in the edit box.
  void SetEntry(const QString& text);
  /// The part of the edit box that OK reads: its first characters, as UTF-8.
  std::string Entry() const;

  /// OK was clicked: read the entry, then accept().
  virtual void OkClicked() = 0;

 private:
  QLineEdit* editBox_ = nullptr;
};

}  // namespace orvane
