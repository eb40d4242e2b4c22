#include "app/RecentEvents.h"

#include <QFileInfo>
#include <QSettings>

#include <algorithm>

namespace orvane {

QString RecentEvent::Label() const {
  QStringList names;
  for (int i = 0; i < files.size() && i < 3; ++i) names << QFileInfo(files[i]).fileName();
  QString text = names.join(", ");
  if (files.size() > 3) text += QStringLiteral(" and %1 more").arg(files.size() - 3);
  return text;
}

namespace {

// Settings are read and written only in a regular file (or a new one): a
// FIFO would keep the reader waiting for ever.
bool Usable(const QString& iniPath) { return !QFileInfo::exists(iniPath) || QFileInfo(iniPath).isFile(); }

}  // namespace

std::vector<RecentEvent> ReadRecentEvents(const QString& iniPath) {
  std::vector<RecentEvent> events;
  if (!Usable(iniPath)) return events;
  QSettings ini(iniPath, QSettings::IniFormat);
  const int count = ini.beginReadArray("RecentEvents");
  for (int i = 0; i < count && i < kMaxRecentEvents; ++i) {
    ini.setArrayIndex(i);
    RecentEvent event;
    event.files = ini.value("files").toStringList();
    event.files.removeAll(QString());
    const QString format = ini.value("format").toString();
    if (!format.isEmpty()) event.format = ParseSeismogramFormat(format.toStdString());
    if (!event.files.isEmpty()) events.push_back(event);
  }
  ini.endArray();
  return events;
}

bool WriteRecentEvents(const QString& iniPath, const std::vector<RecentEvent>& events) {
  if (!Usable(iniPath)) return false;
  QSettings ini(iniPath, QSettings::IniFormat);
  ini.remove("RecentEvents");
  ini.beginWriteArray("RecentEvents");
  for (int i = 0; i < static_cast<int>(events.size()) && i < kMaxRecentEvents; ++i) {
    ini.setArrayIndex(i);
    ini.setValue("files", events[static_cast<std::size_t>(i)].files);
    const auto& format = events[static_cast<std::size_t>(i)].format;
    ini.setValue("format", format ? QString(SeismogramFormatName(*format)) : QString());
  }
  ini.endArray();
  ini.sync();
  return ini.status() == QSettings::NoError;
}

std::vector<RecentEvent> WithRecentEvent(std::vector<RecentEvent> events, const RecentEvent& opened) {
  events.erase(std::remove_if(events.begin(), events.end(),
                              [&](const RecentEvent& e) { return e.files == opened.files; }),
               events.end());
  events.insert(events.begin(), opened);
  if (events.size() > static_cast<std::size_t>(kMaxRecentEvents)) events.resize(kMaxRecentEvents);
  return events;
}

}  // namespace orvane
