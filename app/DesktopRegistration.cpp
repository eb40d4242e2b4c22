#include "app/DesktopRegistration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <string>
#include <string_view>

#include "app/DesktopFiles.h"
#include "platform/DataFile.h"
#include "platform/FileWriter.h"

namespace orvane {
namespace {

// Every file Orvane writes carries this mark, so that unregistering never
// removes a file of the same name that someone else put there.
const char* const kMark = "Written by Orvane";

// The desktop entry and the file types are those the installation writes
// (DesktopFiles.h), with the program's own path and our mark put in.
QByteArray DesktopEntry(const QString& program) {
  QString exec = program;
  exec.replace("\\", "\\\\").replace("\"", "\\\"");
  QByteArray entry = QByteArray::fromStdString(OrvaneDesktopEntry(("\"" + exec + "\"").toStdString()));
  return entry.replace("[Desktop Entry]\n", QByteArray("[Desktop Entry]\n# ") + kMark + "\n");
}

QByteArray MimeTypes() {
  QByteArray types = QByteArray::fromStdString(OrvaneMimeTypes());
  const int afterDeclaration = types.indexOf("?>\n");
  return types.insert(afterDeclaration < 0 ? 0 : afterDeclaration + 3, QByteArray("<!-- ") + kMark + " -->\n");
}

// Writes @p bytes to @p path unless the file holds them already; a failure
// is added to @p errors with its reason.
bool WriteIfChanged(const QString& path, const QByteArray& bytes, QStringList& errors) {
  QFile existing(path);
  if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes) return true;
  existing.close();
  std::string why = "its folder cannot be made";
  if (QDir().mkpath(QFileInfo(path).absolutePath()) &&
      WriteFileAtomically(QFile::encodeName(path).toStdString(),
                          std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), &why))
    return true;
  errors << QStringLiteral("%1: %2").arg(path, QString::fromStdString(why));
  return false;
}

bool Ours(const QString& path, bool binary) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  if (binary) {
    // The icon: ours when it is the picture we install.
    const std::string icon = FindDataFile("icons/orvane.png");
    QFile shipped(QString::fromStdString(icon));
    return !icon.empty() && shipped.open(QIODevice::ReadOnly) && shipped.readAll() == file.readAll();
  }
  return file.read(4096).contains(kMark);
}

void RefreshDesktopDatabases(const QString& dataHome) {
  // Optional helpers of the desktop; without them the files still take effect
  // at the desktop's next scan.
  const QString mime = QStandardPaths::findExecutable("update-mime-database");
  if (!mime.isEmpty()) QProcess::startDetached(mime, {dataHome + "/mime"});
  const QString apps = QStandardPaths::findExecutable("update-desktop-database");
  if (!apps.isEmpty()) QProcess::startDetached(apps, {dataHome + "/applications"});
}

}  // namespace

bool IsUnregisterSwitch(const QString& argument) {
  QString word = argument;
  if (word.startsWith("--"))
    word = word.mid(2);
  else if (word.startsWith("-"))
    word = word.mid(1);
  else
    return false;
  const QString unregister = QStringLiteral("unregister");
  return !word.isEmpty() && word.size() <= unregister.size() &&
         unregister.startsWith(word, Qt::CaseInsensitive);
}

DesktopFiles DesktopFilesUnder(const QString& dataHome) {
  return {dataHome + "/applications/orvane.desktop", dataHome + "/mime/packages/orvane.xml",
          dataHome + "/icons/hicolor/128x128/apps/orvane.png"};
}

bool RegisterWithDesktop(const QString& dataHome, const QString& program, QString* error) {
  const DesktopFiles files = DesktopFilesUnder(dataHome);
  const QByteArray entry = DesktopEntry(program);
  const QByteArray types = MimeTypes();
  QStringList errors;
  const auto done = [&](bool ok) {
    if (error) *error = errors.join(QStringLiteral("; "));
    return ok;
  };
  bool ok = WriteIfChanged(files.entry, entry, errors);
  const bool mimeChanged = !QFile::exists(files.mimeTypes) || !Ours(files.mimeTypes, false);
  ok = WriteIfChanged(files.mimeTypes, types, errors) && ok;
  const std::string icon = FindDataFile("icons/orvane.png");
  if (!icon.empty()) {
    QFile shipped(QString::fromStdString(icon));
    if (!shipped.open(QIODevice::ReadOnly)) errors << QStringLiteral("%1: cannot be read").arg(shipped.fileName());
    ok = shipped.isOpen() && WriteIfChanged(files.icon, shipped.readAll(), errors) && ok;
  }
  if (ok && mimeChanged) RefreshDesktopDatabases(dataHome);
  return done(ok);
}

void UnregisterFromDesktop(const QString& dataHome) {
  const DesktopFiles files = DesktopFilesUnder(dataHome);
  bool removed = false;
  for (const auto& [path, binary] : {std::pair{files.entry, false}, std::pair{files.mimeTypes, false},
                                     std::pair{files.icon, true}}) {
    if (Ours(path, binary)) removed = QFile::remove(path) || removed;
  }
  if (removed) RefreshDesktopDatabases(dataHome);
}

}  // namespace orvane
