// The access checks made before a file is shown in an editor. They sit behind
// an interface so that tests can make a file look read-only or unreadable
// (the test machine runs as root, which may read and write everything).
#pragma once

#include <QFileInfo>
#include <QString>

namespace zun::wb {

class FileAccess {
 public:
  virtual ~FileAccess() = default;
  // Only a plain file can be shown: a directory or a device named by a tool
  // message counts as missing.
  virtual bool exists(const QString& path) const { return QFileInfo(path).isFile(); }
  virtual bool readable(const QString& path) const { return QFileInfo(path).isReadable(); }
  virtual bool writable(const QString& path) const { return QFileInfo(path).isWritable(); }
};

}  // namespace zun::wb
