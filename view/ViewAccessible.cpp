#include "view/ViewAccessible.h"

#include <QMdiSubWindow>

#include "view/View.h"

namespace orvane {
namespace {

QAccessibleInterface* ViewFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(View::staticMetaObject.className()))
    if (auto* view = qobject_cast<View*>(object)) return new ViewAccessible(view);
  return nullptr;
}

}  // namespace

ViewAccessible::ViewAccessible(View* view) : QAccessibleWidget(view, QAccessible::Canvas) {}

void ViewAccessible::Install() {
  static const bool installed = [] {
    QAccessible::installFactory(ViewFactory);
    return true;
  }();
  (void)installed;
}

QWidgetList ViewAccessible::Children() const {
  auto* view = static_cast<View*>(widget());
  QWidgetList children;
  for (QMdiSubWindow* window : view->subWindowList()) children << window;
  if (Splash* card = view->SplashWindow(); card != nullptr && card->isVisible()) children << card;
  return children;
}

int ViewAccessible::childCount() const { return static_cast<int>(Children().size()); }

QAccessibleInterface* ViewAccessible::child(int index) const {
  const QWidgetList children = Children();
  if (index < 0 || index >= children.size()) return nullptr;
  return QAccessible::queryAccessibleInterface(children[index]);
}

int ViewAccessible::indexOfChild(const QAccessibleInterface* child) const {
  if (child == nullptr) return -1;
  return static_cast<int>(Children().indexOf(qobject_cast<QWidget*>(child->object())));
}

}  // namespace orvane
