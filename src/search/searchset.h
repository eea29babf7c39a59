#pragma once
// The choice file "db/searchset.dat": which search sites the user wants searched, in the user's
// order. GBK text, one line per site ended by CR LF: the site key, "," and "1" (enabled) or "0".
// The key is the text before the first ","; the flag is all after it and enables the site only
// when it is exactly "1" (so "1 " does not). Lines without "," or with an empty key are ignored;
// a missing file reads as empty.
//
// Threads: any; the file is replaced atomically, so a reader sees the old or the new one.
#include "search/searchsite.h"

#include <QString>

#include <vector>

namespace inkwren {

class SearchSetFile {
public:
  struct Line {
    QString key;
    QString flag;
    bool enabled() const { return flag == QLatin1String("1"); }
    bool operator==(const Line &) const = default;
  };

  // path: "db/searchset.dat" in the data folder.
  explicit SearchSetFile(QString path) : path_(std::move(path)) {}
  const QString &path() const { return path_; }

  std::vector<Line> read() const;
  // Replaces the file with these lines (an empty list makes an empty file); false when it
  // could not be written.
  bool write(const std::vector<Line> &lines) const;
  // Writes a choice text as received (lines of any line break), each line ended by CR LF.
  bool writeText(const QString &text) const;

  // The choice lines of a list's rows: key ",1" for a checked row, key ",0" for the others.
  static std::vector<Line> choiceLines(const std::vector<SiteRow> &rows);
  // The lines as text, each ended by CR LF.
  static QString choiceText(const std::vector<Line> &lines);
  // Parses a text of choice lines (the rules above).
  static std::vector<Line> parse(const QString &text);

private:
  QString path_;
};

} // namespace inkwren
