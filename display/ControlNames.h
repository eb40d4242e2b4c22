#pragma once
// The child controls of the seismogram windows: each carries its control id
// as object name ("id11902") so that tests and tools find it, and a name and
// description for screen readers.

#include <QLineEdit>
#include <QString>

#include "display/UpDown.h"

namespace orvane {

/// @brief "id" followed by the control id: ControlName(11902) is "id11902".
inline QString ControlName(int id) { return QStringLiteral("id%1").arg(id); }

/// @brief A read-only edit box that shows a value of at most three characters.
inline QLineEdit* MakeValueBox(QWidget* parent, int id, const QString& name, const QString& description) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(ControlName(id));
  box->setReadOnly(true);
  box->setMaxLength(3);
  box->setFocusPolicy(Qt::NoFocus);
  box->setAccessibleName(name);
  box->setAccessibleDescription(description);
  return box;
}

/// @brief An up-down over @p minimum … @p maximum that starts at @p position.
inline UpDown* MakeUpDown(QWidget* parent, int id, int minimum, int maximum, int position, const QString& name,
                          const QString& description) {
  auto* spin = new UpDown(parent);
  spin->setObjectName(ControlName(id));
  spin->SetRange(minimum, maximum);
  spin->SetPosition(position);
  spin->setAccessibleName(name);
  spin->setAccessibleDescription(description);
  return spin;
}

}  // namespace orvane
