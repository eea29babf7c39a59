#pragma once
// Downloading one chapter: its page fetched, cut with field s7, its pictures (s8, s9) saved as
// "book/B/Z/m.ext" and referenced from the text, cleaned with s10, then the text file written
// and the word count stored, in that order. A chapter whose rules yield no text keeps count 0
// and is tried again by the next update.
//
// Threads: the update worker (any thread); stop is polled between the steps, and a stop before
// the file is written leaves neither file nor count.
#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <functional>

namespace inkwren {

class ChapterFiles;
class ChapterStore;
class Fetcher;
class RuleInterpreter;

class ChapterDownloader {
public:
  enum class Outcome {
    Stored,      // file written and count stored
    NoText,      // the rules gave no text: nothing written
    FetchFailed, // the page could not be fetched: nothing written
    Stopped,     // a stop was asked for before anything was written
    Failed,      // the file or the count could not be stored: the run must end
  };
  using StopCheck = std::function<bool()>;

  ChapterDownloader(ChapterStore &chapters, const Fetcher &fetcher,
                    const RuleInterpreter &interpreter, const ChapterFiles &files)
      : chapters_(chapters), fetcher_(fetcher), interpreter_(interpreter), files_(files) {}

  // A chapter fetched and processed, not yet stored.
  struct Fetched {
    Outcome outcome = Outcome::NoText; // Stored here means: text ready to be stored
    QByteArray text;
    long status = 0;            // the page's HTTP status (0 when none arrived)
    int retryAfterSeconds = -1; // the page's "Retry-After", when it carried one
  };

  // The chapter's text as it would be stored (s7, pictures when withPictures, s10); the page is
  // fetched with the directory flag, so "[webpath]" is the chapter page's directory. Empty
  // when stopped or nothing resulted; fetched (when given) tells whether the page arrived.
  QByteArray chapterText(const QString &bookId, const QString &chapterId, const QByteArray &url,
                         const QByteArrayList &rule, bool withPictures, const StopCheck &stop = {},
                         bool *fetched = nullptr) const;
  // The first half of a download: page, pictures and rules, nothing stored but pictures.
  Fetched fetchChapter(const QString &bookId, const QString &chapterId, const QByteArray &url,
                       const QByteArrayList &rule, const StopCheck &stop = {}) const;
  // The second half: the text file written, then the word count stored (Stored or Failed).
  static Outcome storeChapter(ChapterStore &chapters, const ChapterFiles &files,
                              const QString &bookId, const QString &chapterId,
                              const QByteArray &text);

  Outcome download(const QString &bookId, const QString &chapterId, const QByteArray &url,
                   const QByteArrayList &rule, const StopCheck &stop = {}) const;

  // Every picture match of s8 downloaded from the address s9 makes of it, saved as
  // "book/B/Z/m" + extension and every occurrence of the match text replaced by
  // <img src="B\Z\m.ext">. The first picture that fails ends the picture handling: later
  // matches stay as they came. The text unchanged when s8 or s9 is empty.
  QByteArray stoimg(const QByteArray &text, const QString &bookId, const QString &chapterId,
                    const QByteArray &s8, const QByteArray &s9, const StopCheck &stop = {}) const;

private:
  ChapterStore &chapters_;
  const Fetcher &fetcher_;
  const RuleInterpreter &interpreter_;
  const ChapterFiles &files_;
};

} // namespace inkwren
