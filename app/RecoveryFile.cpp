#include "app/RecoveryFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <algorithm>

namespace orvane {
namespace {

QString LockPath(const QString& path) { return path + QStringLiteral(".lock"); }

// A lock that is taken only from a window that is gone: QLockFile takes over
// a lock whose process is no longer running, but with a stale time it would
// also take the lock of a window that has simply run long.
std::unique_ptr<QLockFile> TakeLock(const QString& path) {
  auto lock = std::make_unique<QLockFile>(LockPath(path));
  lock->setStaleLockTime(0);
  if (!lock->tryLock(0)) return nullptr;
  return lock;
}

}  // namespace

QString RecoveryFile::Folder() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath(QStringLiteral("recovery"));
}

QString RecoveryFile::EarlierFilePath() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
      .filePath(QStringLiteral("recovery.orvex"));
}

RecoveryFile::RecoveryFile(QString path, std::unique_ptr<QLockFile> lock)
    : path_(std::move(path)), lock_(std::move(lock)) {}

RecoveryFile::~RecoveryFile() = default;

bool RecoveryFile::RemoveFile() const { return !QFileInfo::exists(path_) || QFile::remove(path_); }

std::unique_ptr<RecoveryFile> RecoveryFile::CreateOwn(QString* error) {
  const QDir folder(Folder());
  if (!folder.mkpath(QStringLiteral("."))) {
    if (error) *error = QStringLiteral("the folder %1 cannot be made").arg(QDir::toNativeSeparators(folder.path()));
    return nullptr;
  }
  const QString started = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  for (int attempt = 0; attempt < 100; ++attempt) {
    const QString path = folder.filePath(QStringLiteral("work-%1-%2.orvex")
                                             .arg(started)
                                             .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
    // A name that a window gone before left behind is not taken over here:
    // its work waits to be offered.
    if (QFileInfo::exists(path) || QFileInfo::exists(LockPath(path))) continue;
    auto lock = TakeLock(path);
    if (!lock) continue;
    if (QFileInfo::exists(path)) continue;
    return std::unique_ptr<RecoveryFile>(new RecoveryFile(path, std::move(lock)));
  }
  if (error) *error = QStringLiteral("no lock can be made in %1").arg(QDir::toNativeSeparators(folder.path()));
  return nullptr;
}

std::vector<std::unique_ptr<RecoveryFile>> RecoveryFile::LeftBehind() {
  const QDir folder(Folder());
  QFileInfoList candidates = folder.entryInfoList({QStringLiteral("*.orvex")}, QDir::Files | QDir::Hidden);
  const QFileInfo earlier(EarlierFilePath());
  if (earlier.isFile()) candidates << earlier;
  std::stable_sort(candidates.begin(), candidates.end(), [](const QFileInfo& a, const QFileInfo& b) {
    return a.lastModified() > b.lastModified();
  });
  std::vector<std::unique_ptr<RecoveryFile>> left;
  for (const QFileInfo& file : candidates) {
    const QString path = file.absoluteFilePath();
    auto lock = TakeLock(path);
    if (!lock || !QFileInfo(path).isFile()) continue;  // a running window's, or gone meanwhile
    left.push_back(std::unique_ptr<RecoveryFile>(new RecoveryFile(path, std::move(lock))));
  }
  // The lock of a window that crashed before it had anything to keep.
  for (const QFileInfo& lockFile : folder.entryInfoList({QStringLiteral("*.orvex.lock")}, QDir::Files | QDir::Hidden)) {
    const QString path = lockFile.absoluteFilePath().chopped(5);
    if (QFileInfo::exists(path)) continue;
    if (auto lock = TakeLock(path); lock && !QFileInfo::exists(path)) lock->unlock();
  }
  return left;
}

}  // namespace orvane
