#pragma once
// The files the service hands out (rule files, updaters with their signatures, skins and skin
// pictures), kept in one flat folder. Only plain names are accepted: no "/", "\", ".." or
// control characters, nothing hidden, so no request can reach outside the folder.
// Thread-safe (files are written atomically and only read otherwise).
#include <QByteArray>
#include <QString>

#include <optional>

namespace inkwren::server {

bool isPlainName(const QString &name);

class FileStore {
public:
  explicit FileStore(QString folder) : m_folder(std::move(folder)) {}

  bool put(const QString &name, QByteArrayView bytes);
  std::optional<QByteArray> read(const QString &name) const;
  bool exists(const QString &name) const;

private:
  QString m_folder;
};

} // namespace inkwren::server
