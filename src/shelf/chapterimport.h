#pragma once
// Importing a local text file as a new chapter of a book: the chapter is named after the file,
// carries the text's word count, an empty volume name and address, and is listed last.
// Threads: any.
#include "shelf/chapterstore.h"

#include <optional>

namespace inkwren {

class ChapterFiles;

class ChapterImport {
public:
  ChapterImport(ChapterStore &chapters, const ChapterFiles &files)
      : chapters_(chapters), files_(files) {}

  // The chapter name for a file: its name without folder, cut before the first "." unless that
  // "." is the name's first character.
  static QString importName(const QString &path);

  // Adds the chapter and writes its text to the book's folder (created when missing). A file
  // that can't be read adds nothing; when the text can't be written the new row is removed
  // again, so no chapter is left without its text. Gives the new row.
  std::optional<ChapterRow> filetozj(const QString &bookId, const QString &path);

private:
  ChapterStore &chapters_;
  const ChapterFiles &files_;
};

} // namespace inkwren
