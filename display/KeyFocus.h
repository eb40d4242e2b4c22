#pragma once

#include <Qt>

namespace orvane {

/// @brief Whether a keyboard mark (a trace's cursor line, the globe's
/// cross-hair) stands after the focus came for @p reason, given whether it
/// was @p wanted before: a key brings it (Tab, a shortcut, the focus handed
/// on by the program); a click hides it until the next key, since the click
/// itself picks or tries where it is; the window or a menu giving the focus
/// back leaves it as it was.
inline bool KeyMarkWanted(Qt::FocusReason reason, bool wanted) {
  switch (reason) {
    case Qt::MouseFocusReason:
      return false;
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
    case Qt::OtherFocusReason:
      return true;
    default:
      return wanted;
  }
}

}  // namespace orvane
