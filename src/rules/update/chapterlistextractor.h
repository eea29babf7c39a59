#pragma once
// Turning a novel's table of contents into chapter records: every match of the site's chapter
// pattern (field s2) is a chapter, its name and address built from templates (s3, s4), its
// volume the nearest volume heading (s5, s6) above it. New chapters are added after the ones
// the book has; known chapters (same address) are left alone. Two more operations bring
// existing records into line with the page: the site's order (stozjpx) and one chapter's name
// and volume (regetzjfjnm).
//
// The table-of-contents text arrives fetched and passed through field s1. A rule record is the
// 11 fields s0..s10 as the rule set gives them.
//
// Names and volumes are worked out first; the chapter store then holds the library only for
// the statements.
//
// Threads: any (the library serialises statements); stozj runs on the update worker, the other
// two on the main thread. The ChapterStore and the RuleInterpreter (and its fetcher) must
// outlive the extractor.
#include "shelf/chapterstore.h"

#include <QByteArrayList>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace inkwren {

class RuleInterpreter;

class ChapterListExtractor {
public:
  ChapterListExtractor(ChapterStore &chapters, const RuleInterpreter &interpreter)
      : chapters_(chapters), interpreter_(interpreter) {}

  // How a long list is watched: stop is asked now and then (true ends the work, nothing is
  // stored), progress hears how many chapters have been found so far.
  struct Watch {
    std::function<bool()> stop;
    std::function<void(qsizetype found)> progress;
  };

  // The chapters of a table of contents in page order, each link once (at its first place),
  // without touching the library. Time grows with the page, not with its square. Empty when
  // stopped.
  std::vector<TocEntry> extract(const QByteArray &toc, const QByteArrayList &rule,
                                const Watch &watch = {}) const;
  std::vector<TocEntry> extract(const QString &toc, const QByteArrayList &rule,
                                const Watch &watch = {}) const;

  // Adds the chapters the book lacks, numbered after its highest order key, in one
  // transaction; a chapter whose insert fails is skipped (its number is not reused). Gives the
  // number of chapters added (0 when stopped), or -1 when the library could not be read.
  int stozj(const QByteArray &toc, const QString &bookId, const QByteArrayList &rule,
            const Watch &watch = {}) const;
  int stozj(const QString &toc, const QString &bookId, const QByteArrayList &rule,
            const Watch &watch = {}) const;

  // The volume of the chapter whose match text is matchValue: with s5 empty, s6 as it stands;
  // else s6 expanded with the last s5 match in the text before the first occurrence of
  // matchValue. "正文" when that gives nothing.
  QString getfjn(const QString &toc, const QString &matchValue, const QString &s5,
                 const QString &s6) const;

  // Sets every listed chapter's order key to its position in the page (1-based; a link listed
  // twice ends with its last position). Gives the number of statements that changed a row.
  int stozjpx(const QByteArray &toc, const QString &bookId, const QByteArrayList &rule) const;

  struct Refreshed {
    QString name;
    QString volume;
  };
  // Refreshes name and volume of one chapter from the page: every match whose address equals
  // chapterUrl exactly is applied in turn, the last one winning. nullopt when no match has
  // that address or storing failed; else the texts the chapter-list row should show.
  std::optional<Refreshed> regetzjfjnm(const QByteArray &toc, const QString &bookId,
                                       const QString &chapterId, const QString &chapterUrl,
                                       const QByteArrayList &rule) const;

  static const QString kDefaultVolume; // "正文"

private:
  struct Match;
  std::vector<Match> chapterMatches(const QString &toc, const QByteArrayList &rule,
                                    const Watch &watch = {}) const;

  ChapterStore &chapters_;
  const RuleInterpreter &interpreter_;
};

} // namespace inkwren
