#pragma once
// The e-book of a book: one GBK text file holding all its shown chapters in order, each as
// its title line (volume name, a space, chapter name), an empty line, the chapter's text and
// two empty lines. Threads: any.
#include <QByteArray>
#include <QString>

#include <optional>

namespace inkwren {

class ChapterStore;
class ChapterFiles;

class Ebook {
public:
  Ebook(ChapterStore &chapters, const ChapterFiles &files) : chapters_(chapters), files_(files) {}

  // The whole e-book text; nullopt when the chapters can't be read from the library.
  std::optional<QByteArray> text(const QString &bookId);

  // The file name an export writes to: the chosen name, with ".txt" appended unless its last
  // four characters are ".txt" in any case.
  static QString ebookPath(const QString &chosen);

  enum class Outcome { Written, Exists, Failed };
  // Writes the e-book of the book to path (made by ebookPath). An existing file is replaced
  // only with overwrite; else Exists and nothing is written. The file is replaced atomically.
  Outcome makeebook(const QString &bookId, const QString &path, bool overwrite);

private:
  ChapterStore &chapters_;
  const ChapterFiles &files_;
};

} // namespace inkwren
