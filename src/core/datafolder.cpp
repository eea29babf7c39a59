#include "core/datafolder.h"

#include "core/database.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace inkwren {
namespace {

QString executableFolder() {
  return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
}

bool copyTree(const QString &from, const QString &to, QString *error) {
  QDir src(from);
  QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    QString file = it.next();
    QString target = to + QLatin1Char('/') + src.relativeFilePath(file);
    if (QFileInfo::exists(target))
      continue;
    if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(file, target)) {
      *error = QStringLiteral("无法写入数据文件夹: %1").arg(target);
      return false;
    }
    QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
  }
  return true;
}

} // namespace

QString DataFolder::locate(const QString &homeOverride) {
  if (!homeOverride.isEmpty())
    return QDir(homeOverride).absolutePath();
  QString env = qEnvironmentVariable("INKWREN_HOME");
  if (!env.isEmpty())
    return QDir(env).absolutePath();
  QString exe = executableFolder();
  if (!exe.isEmpty() && QFileInfo(exe + QStringLiteral("/db")).isDir())
    return exe;
  QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
  if (xdg.isEmpty())
    xdg = QDir::homePath() + QStringLiteral("/.local/share");
  return xdg + QStringLiteral("/inkwren");
}

QString DataFolder::seedFolder() {
  QString exe = executableFolder();
  const QStringList candidates = {
      exe + QStringLiteral("/data"),
      exe + QStringLiteral("/../share/inkwren/data"),
#ifdef INKWREN_SOURCE_DATA
      QStringLiteral(INKWREN_SOURCE_DATA),
#endif
  };
  for (const QString &c : candidates)
    if (QFileInfo(c + QStringLiteral("/book/bank.html")).isFile())
      return QDir(c).absolutePath();
  return {};
}

DataFolder::DataFolder(QString root) : root_(std::move(root)) {}

bool DataFolder::looksLikeDataFolder() const {
  for (const char *sub : {"db", "config", "book"})
    if (QFileInfo(path(QString::fromLatin1(sub))).isDir())
      return true;
  return false;
}

QString DataFolder::path(const QString &relative) const {
  return root_ + QLatin1Char('/') + relative;
}

bool DataFolder::prepare(QString *error, const QString &seed) {
  QString dummy;
  if (!error)
    error = &dummy;
  QDir dir(root_);
  if (QFileInfo(root_).exists() && !QFileInfo(root_).isDir()) {
    *error = QStringLiteral("数据文件夹不可用: %1 不是文件夹").arg(root_);
    return false;
  }
  bool fresh = !dir.exists() || dir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
  // A folder full of other things is never filled with ours: a mistyped --home must not
  // scatter book/, config/, db/ and skins/ into somebody's documents.
  if (!fresh && !looksLikeDataFolder()) {
    *error = QStringLiteral("%1 不是空文件夹，也不是墨鹪的数据文件夹 (应含 db/、config/ 或 book/)")
                 .arg(root_);
    return false;
  }
  if (!QDir().mkpath(root_)) {
    *error = QStringLiteral("无法创建数据文件夹: %1").arg(root_);
    return false;
  }
  // A folder we can list but not write would fail later in surprising places; a data folder
  // that holds a library is still good for reading.
  readOnly_ = false;
  {
    QTemporaryFile probe(root_ + QStringLiteral("/.writable-XXXXXX"));
    if (!probe.open()) {
      if (!fresh && QFileInfo(path(QStringLiteral("db/book.dat"))).isFile()) {
        readOnly_ = true;
        return true;
      }
      *error = QStringLiteral("数据文件夹不可写: %1").arg(root_);
      return false;
    }
  }
  for (const char *sub : {"config", "db", "book", "skins"})
    if (!QDir().mkpath(path(QString::fromLatin1(sub)))) {
      *error = QStringLiteral("无法创建文件夹: %1").arg(path(QString::fromLatin1(sub)));
      return false;
    }
  if (!fresh)
    return true;
  if (!seed.isEmpty() && !copyTree(seed, root_, error))
    return false;
  QString library = path(QStringLiteral("db/book.dat"));
  if (!QFileInfo::exists(library)) {
    QString why;
    if (!Database::createLibrary(library, &why)) {
      *error = QStringLiteral("无法创建书库: %1").arg(why);
      return false;
    }
  }
  return true;
}

} // namespace inkwren
