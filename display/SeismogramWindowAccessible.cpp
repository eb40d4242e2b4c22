#include "display/SeismogramWindowAccessible.h"

#include <QPointer>

#include "display/Event.h"
#include "display/Seismograms.h"
#include "display/TraceTexts.h"

namespace orvane {
namespace {

QAccessibleInterface* SeismogramWindowFactory(const QString&, QObject* object) {
  if (auto* window = qobject_cast<SeismogramWindow*>(object)) return new SeismogramWindowAccessible(window);
  return nullptr;
}

// The cursor's time while @p window shows its cursor, else nothing.
QVariant CursorValue(const SeismogramWindow& window) {
  const std::optional<float> seconds = window.CursorSeconds();
  return seconds ? QVariant(static_cast<double>(*seconds)) : QVariant();
}

// One row of a window of all seismograms: a slider named by its station,
// described as the window describes the row, with the cursor's time as its
// value while the cursor stands in it.
class SeismogramRowAccessible : public QAccessibleInterface, public QAccessibleValueInterface {
 public:
  SeismogramRowAccessible(Seismograms* window, int row) : window_(window), row_(row) {}

  bool isValid() const override { return window_ != nullptr && row_ < static_cast<int>(window_->Records().size()); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return window_ ? window_->window()->windowHandle() : nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(window_.data()); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }

  QString text(QAccessible::Text type) const override {
    if (!isValid()) return QString();
    const KSAC& record = *window_->Records()[static_cast<std::size_t>(row_)];
    switch (type) {
      case QAccessible::Name: return QString::fromLatin1(SpokenStationLabel(record).c_str()).trimmed();
      case QAccessible::Description:
        return QString::fromLatin1(TraceDescriptionWithStart(record, TextPrecision::kHundredths).c_str());
      case QAccessible::Value: return KeyRow() ? window_->CursorText() : QString();
      default: return QString();
    }
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    if (!isValid()) return QRect();
    const QRect band = window_->RowRect(row_);
    return band.isEmpty() ? QRect() : QRect(window_->mapToGlobal(band.topLeft()), band.size());
  }
  QAccessible::Role role() const override { return QAccessible::Slider; }
  QAccessible::State state() const override {
    QAccessible::State state;
    if (!isValid()) {
      state.invalid = true;
      return state;
    }
    state.focusable = true;
    state.focused = KeyRow() && window_->CursorShown();
    state.invisible = window_->RowRect(row_).isEmpty();
    state.offscreen = state.invisible;
    return state;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface*>(this) : nullptr;
  }
  QVariant currentValue() const override { return KeyRow() ? CursorValue(*window_) : QVariant(); }
  void setCurrentValue(const QVariant&) override {}
  QVariant maximumValue() const override {
    return KeyRow() ? SeismogramWindowAccessible::TraceEndSeconds(*window_, true) : QVariant();
  }
  QVariant minimumValue() const override {
    return KeyRow() ? SeismogramWindowAccessible::TraceEndSeconds(*window_, false) : QVariant();
  }
  QVariant minimumStepSize() const override { return QVariant(); }

 private:
  bool KeyRow() const { return isValid() && window_->KeyRow() == row_; }

  QPointer<Seismograms> window_;
  int row_;
};

}  // namespace

SeismogramWindowAccessible::SeismogramWindowAccessible(SeismogramWindow* window)
    : QAccessibleWidget(window, qobject_cast<Event*>(window) ? QAccessible::Slider : QAccessible::Client) {}

SeismogramWindowAccessible::~SeismogramWindowAccessible() {
  for (const QAccessible::Id id : rows_)
    if (id != 0) QAccessible::deleteAccessibleInterface(id);
}

void SeismogramWindowAccessible::Install() {
  static const bool installed = [] {
    QAccessible::installFactory(SeismogramWindowFactory);
    return true;
  }();
  (void)installed;
}

QAccessibleInterface* SeismogramWindowAccessible::KeyInterfaceOf(SeismogramWindow* window) {
  QAccessibleInterface* own = QAccessible::queryAccessibleInterface(window);
  auto* seismograms = qobject_cast<Seismograms*>(window);
  if (seismograms == nullptr || own == nullptr) return own;
  const auto* rows = dynamic_cast<SeismogramWindowAccessible*>(own);
  const int row = seismograms->KeyRow();
  return rows == nullptr || row < 0 ? nullptr : rows->Row(row);
}

QVariant SeismogramWindowAccessible::TraceEndSeconds(const SeismogramWindow& window, bool end) {
  const QRect trace = window.KeyTrace();
  if (trace.isEmpty()) return QVariant();
  const std::optional<float> seconds = window.PickSecondsAt(end ? trace.right() : trace.left());
  return seconds ? QVariant(static_cast<double>(*seconds)) : QVariant();
}

SeismogramWindow* SeismogramWindowAccessible::Window() const { return static_cast<SeismogramWindow*>(widget()); }

int SeismogramWindowAccessible::RowCount() const {
  const auto* seismograms = qobject_cast<const Seismograms*>(Window());
  return seismograms == nullptr ? 0 : static_cast<int>(seismograms->Records().size());
}

QAccessibleInterface* SeismogramWindowAccessible::Row(int row) const {
  if (row < 0 || row >= RowCount()) return nullptr;
  if (rows_.size() <= static_cast<std::size_t>(row)) rows_.resize(static_cast<std::size_t>(row) + 1, 0);
  QAccessible::Id& id = rows_[static_cast<std::size_t>(row)];
  if (id == 0)
    id = QAccessible::registerAccessibleInterface(
        new SeismogramRowAccessible(static_cast<Seismograms*>(Window()), row));
  return QAccessible::accessibleInterface(id);
}

void* SeismogramWindowAccessible::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::ValueInterface && qobject_cast<Event*>(Window()) != nullptr)
    return static_cast<QAccessibleValueInterface*>(this);
  return QAccessibleWidget::interface_cast(type);
}

QString SeismogramWindowAccessible::text(QAccessible::Text type) const {
  if (type == QAccessible::Value && qobject_cast<Event*>(Window())) return Window()->CursorText();
  return QAccessibleWidget::text(type);
}

int SeismogramWindowAccessible::childCount() const { return QAccessibleWidget::childCount() + RowCount(); }

QAccessibleInterface* SeismogramWindowAccessible::child(int index) const {
  const int controls = QAccessibleWidget::childCount();
  if (index < controls) return QAccessibleWidget::child(index);
  return Row(index - controls);
}

int SeismogramWindowAccessible::indexOfChild(const QAccessibleInterface* child) const {
  if (child == nullptr) return -1;
  for (std::size_t row = 0; row < rows_.size(); ++row)
    if (rows_[row] != 0 && QAccessible::accessibleInterface(rows_[row]) == child)
      return static_cast<int>(row) < RowCount() ? QAccessibleWidget::childCount() + static_cast<int>(row) : -1;
  return QAccessibleWidget::indexOfChild(child);
}

QAccessibleInterface* SeismogramWindowAccessible::focusChild() const {
  if (RowCount() > 0 && Window()->CursorShown()) return KeyInterfaceOf(Window());
  return QAccessibleWidget::focusChild();
}

QVariant SeismogramWindowAccessible::currentValue() const { return CursorValue(*Window()); }

QVariant SeismogramWindowAccessible::maximumValue() const { return TraceEndSeconds(*Window(), true); }

QVariant SeismogramWindowAccessible::minimumValue() const { return TraceEndSeconds(*Window(), false); }

QVariant SeismogramWindowAccessible::minimumStepSize() const { return QVariant(); }

}  // namespace orvane
