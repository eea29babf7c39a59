#pragma once
// A settings file in the Windows profile format ("[section]" lines, then key=value lines), read
// and written the way the Windows private-profile functions do: GBK text with CR LF, sections
// and keys matched without regard to case, values trimmed and cut to 2047 bytes when read, the
// file and a missing section created on the first write, every other line kept as it was.
// Not thread-safe; one object per use.
#include <QByteArray>
#include <QList>
#include <QString>

namespace inkwren {

class ProfileFile {
public:
  enum class LoadResult { Loaded, Missing, Unreadable };

  explicit ProfileFile(QString path);

  // Reads the file. A missing file loads as empty; an existing file that can't be read (no
  // permission, a folder in its place) is Unreadable.
  LoadResult load();
  // The value of key in section, or fallback when either is absent.
  QByteArray value(QByteArrayView section, QByteArrayView key, QByteArrayView fallback) const;
  void setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value);
  // Replaces the file atomically with the current lines. The folder is not created.
  bool save() const;

  const QString &path() const { return path_; }

private:
  qsizetype findSection(QByteArrayView section) const;             // line of "[section]", or -1
  qsizetype findKey(qsizetype sectionLine, QByteArrayView key) const; // line of key=, or -1

  QString path_;
  QList<QByteArray> lines_;
};

} // namespace inkwren
