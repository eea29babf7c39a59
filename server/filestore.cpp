#include "filestore.h"

#include "core/codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace inkwren::server {

bool isPlainName(const QString &name) {
  if (name.isEmpty() || name.size() > 200 || name.startsWith('.'))
    return false;
  for (const QChar c : name) {
    if (c == '/' || c == '\\' || c == ':' || c.unicode() < 0x20 || c.unicode() == 0x7F)
      return false;
  }
  return !name.contains("..");
}

bool FileStore::put(const QString &name, QByteArrayView bytes) {
  if (!isPlainName(name) || !QDir().mkpath(m_folder))
    return false;
  return codec::writeFileAtomic(m_folder + "/" + name, bytes);
}

std::optional<QByteArray> FileStore::read(const QString &name) const {
  if (!isPlainName(name))
    return std::nullopt;
  QFile file(m_folder + "/" + name);
  if (!QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
    return std::nullopt;
  return file.readAll();
}

bool FileStore::exists(const QString &name) const {
  return isPlainName(name) && QFileInfo(m_folder + "/" + name).isFile();
}

} // namespace inkwren::server
