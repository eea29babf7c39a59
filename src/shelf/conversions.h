#pragma once
// Conversions of chapter texts: Simplified to Traditional Chinese and back (OpenCC's standard
// "s2t" and "t2s" tables) and numeric character references to characters (the rules engine's
// entity decoding).
// Threads: one object per thread (the converters keep state); the chapter list uses it on the
// main thread.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace inkwren {

class ChapterFiles;

class Conversions {
public:
  enum Mode { ToTraditional = 0, ToSimplified = 1, NumericReferences = 2 };

  Conversions();
  ~Conversions();

  QString GBChs2Cht(const QString &text); // Simplified → Traditional; unchanged when unavailable
  QString GBCht2Chs(const QString &text); // Traditional → Simplified

  // Entity decoding of GBK text ("&ldquo;", "&rdquo;", "&#NNNNN;"); nullopt when it can't run.
  // The program gives the rules engine's; without one, mode 2 is unavailable.
  using EntityDecoder = std::function<std::optional<QByteArray>(const QByteArray &)>;
  void setEntityDecoder(EntityDecoder decoder) { decoder_ = std::move(decoder); }
  bool available(int mode) const;

  // Converts the text files of the given chapters in order; stops at the first file that can't
  // be written (earlier ones stay converted). Missing files are skipped. Word counts stay.
  bool bianma(const ChapterFiles &files, const QString &bookId, const QStringList &chapterIds,
              int mode);

private:
  struct OpenCC;
  QString run(OpenCC &cc, const QString &text);
  std::unique_ptr<OpenCC> s2t_, t2s_;
  EntityDecoder decoder_;
};

} // namespace inkwren
