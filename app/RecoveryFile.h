#pragma once
// RecoveryFile: where one window keeps the student's unsaved work so that it
// survives a crash. Every running window has a file of its own in the
// folder "recovery" of the application's data directory, held by a lock
// file beside it ("<file>.lock", a QLockFile) for as long as the window
// runs. At the next start the files whose lock can be taken (their window
// is gone) are offered back; a running window's file is never offered to,
// or removed by, another window.
//
//   auto own = RecoveryFile::CreateOwn(&why);       // locked; written later
//   WriteExerciseFile(own->Path(), work);
//   for (auto& left : RecoveryFile::LeftBehind()) { ... left->Path() ... }

#include <QLockFile>
#include <QString>

#include <memory>
#include <vector>

namespace orvane {

class RecoveryFile {
 public:
  /// The folder of the recovery files: AppDataLocation/recovery.
  static QString Folder();
  /// The one recovery file of earlier versions: AppDataLocation/recovery.orvex.
  static QString EarlierFilePath();

  /// @brief A new file name of the window's own in Folder(), locked (the
  /// file itself is written later). Nothing, with the reason in @p error,
  /// when the folder or the lock cannot be made.
  static std::unique_ptr<RecoveryFile> CreateOwn(QString* error = nullptr);

  /// @brief The files left by windows that are gone (Folder()'s and the
  /// earlier versions' file), newest first, each now locked by the one who
  /// asked. Lock files whose window is gone and whose file is not there are
  /// removed.
  static std::vector<std::unique_ptr<RecoveryFile>> LeftBehind();

  RecoveryFile(const RecoveryFile&) = delete;
  RecoveryFile& operator=(const RecoveryFile&) = delete;
  /// The lock goes with the object; the file stays.
  ~RecoveryFile();

  const QString& Path() const { return path_; }
  /// @brief Removes the file (the lock stays held). @return false when a file
  /// is there and cannot be removed.
  bool RemoveFile() const;

 private:
  RecoveryFile(QString path, std::unique_ptr<QLockFile> lock);

  QString path_;
  std::unique_ptr<QLockFile> lock_;
};

}  // namespace orvane
