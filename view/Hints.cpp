#include "view/Hints.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

#include <fstream>
#include <string>

#include "platform/DataFile.h"
#include "view/HintLines.h"

namespace orvane {

Hints::Hints(QWidget* parent, int x, int y, int w, int h, const QString& title)
    : QWidget(parent), frameRect_(x, y, w, h) {
  setWindowTitle(title);
  setAccessibleName(title);
  textArea_ = new QPlainTextEdit(this);
  textArea_->setObjectName(QStringLiteral("textArea"));
  textArea_->setAccessibleName(title);
  // The text area lies at (10, 10) in the window, wherever the window stands.
  textArea_->setGeometry(10, 10, w - 20, h - 50);
  // Long lines wrap at the border: there is no horizontal scroll bar.
  textArea_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  textArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  textArea_->setReadOnly(true);
  // Tab goes on to the next window, as everywhere else: a text that is only
  // read takes no tabs.
  textArea_->setTabChangesFocus(true);
  textArea_->verticalScrollBar()->setAccessibleName(tr("Scroll the hints"));
  // The client size: what the frame leaves inside w x h.
  resize(w, h);
}

void Hints::LoadText(const QString& name) {
  textArea_->clear();
  const std::string path = FindDataFile(name.toStdString());
  if (path.empty()) return;
  std::ifstream in(path, std::ios::binary);
  if (!in) return;
  QString text;
  for (const std::string& line : ReadHintLines(in)) {
    text += QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
    text += QLatin1Char('\n');
  }
  textArea_->setPlainText(text);
  // Show the beginning of the text, with the caret there.
  textArea_->moveCursor(QTextCursor::Start);
  textArea_->verticalScrollBar()->setValue(0);
}

QMdiSubWindow* Hints::showIn(QMdiArea* area) {
  QMdiSubWindow* sub = area->addSubWindow(this, Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                                    Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->setWindowTitle(windowTitle());
  sub->setAccessibleName(windowTitle());
  sub->setGeometry(frameRect_);
  sub->setFixedSize(frameRect_.size());  // no sizing border; minimising still works
  sub->show();
  return sub;
}

}  // namespace orvane
