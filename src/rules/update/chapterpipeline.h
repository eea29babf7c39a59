#pragma once
// The chapter downloads of one update run, fetched ahead and stored in list order. Up to
// `threads` chapters are fetched at once, each on a thread of its own with its own fetch
// context (its own "[webpath]"), all keeping their connections in the run's pool; the calling
// thread stores each chapter when its turn comes, so texts and counts are written strictly in
// list order and a stop leaves every chapter whole or untouched. Fetching runs at most
// `threads` chapters ahead of storing.
//
// Politeness: a page answered with 429 or 503 slows the run to one chapter at a time and waits
// as the answer's Retry-After says (at most kMaxWaitSeconds, kDefaultWaitSeconds without one);
// the chapter is then tried again (at most kMaxTries times).
//
// Threads: run() on the run's thread; it starts and joins the fetching threads itself.
#include "rules/update/chapterdownloader.h"

#include <QByteArrayList>
#include <QString>

#include <atomic>
#include <functional>
#include <vector>

namespace inkwren {

class ChapterFiles;
class ChapterStore;
class ConnectionPool;
class Settings;

class ChapterPipeline {
public:
  static constexpr int kMaxWaitSeconds = 120;
  static constexpr int kDefaultWaitSeconds = 5;
  static constexpr int kMaxTries = 3;

  struct Chapter {
    QString id;
    QString name;
    QByteArray url;
    QByteArrayList rule;
  };
  struct Hooks {
    std::function<bool()> stop;                      // the run was asked to stop
    std::function<void(const QString &text)> status; // a text for the status bar
  };
  struct Summary {
    bool stopped = false;
    bool anyPage = false;  // some chapter page arrived
    QString failedChapter; // the chapter whose text could not be stored, ending the run
  };

  ChapterPipeline(const Settings &settings, ChapterStore &chapters, const ChapterFiles &files,
                  ConnectionPool &pool, const std::atomic<bool> *cancel, int threads)
      : settings_(settings), chapters_(chapters), files_(files), pool_(pool), cancel_(cancel),
        threads_(threads < 1 ? 1 : threads) {}

  // Downloads the chapters of a book in the given order; before waiting for a chapter it
  // reports "更新章节 " + name + "...".
  Summary run(const QString &bookId, const std::vector<Chapter> &chapters, const Hooks &hooks);

private:
  const Settings &settings_;
  ChapterStore &chapters_;
  const ChapterFiles &files_;
  ConnectionPool &pool_;
  const std::atomic<bool> *cancel_;
  int threads_;
};

} // namespace inkwren
