#pragma once
// The update worker: one novel at a time, on a thread of its own. Mode 0 updates the novel
// (its table of contents fetched, new chapters added, then every chapter without text
// downloaded), mode 1 downloads the chosen chapters again, mode 2 downloads the chapters that
// have no text, without fetching the table of contents.
//
// One run is a job: dodown() runs it on the calling thread (the command line, tests), start()
// on a thread of its own (the window). The job fetches through a fetch context of its own, so
// its "[webpath]" is never another job's and a stop cuts an exchange under way short.
//
// The worker never touches the screen: it reports status texts and its end through signals,
// which a receiver on the main thread gets queued, in the order they were sent. Connect them
// before start(). A stop (state 2) is noticed at the next check between two steps; the worker
// then ends at once, changing nothing more and reporting nothing more.
//
// Threads: construct, start, stop and destroy on the main thread (stop and state also from any
// thread); dodown runs on the worker's own thread.
#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <memory>

class QThread;

namespace inkwren {

class ChapterFiles;
class ChapterStore;
class RuleSet;
class Settings;

class TThreadDown : public QObject {
  Q_OBJECT
public:
  enum Mode { UpdateBook = 0, SelectedChapters = 1, BlankChapters = 2 };
  enum State { Running = 1, Stopping = 2 };

  // What a run works with; all must outlive the worker.
  struct Tools {
    ChapterStore &chapters;
    const RuleSet &rules;
    const Settings &settings;
    const ChapterFiles &files;
  };

  // selectedIds: the chapter ids of the selected chapter-list rows, in list order (mode 1).
  TThreadDown(Tools tools, QString bookId, int mode, QByteArray muluurl,
              QStringList selectedIds = {}, QObject *parent = nullptr);
  // Stops the run and waits for the thread to end.
  ~TThreadDown() override;

  void start();
  void stop() {
    state_.store(Stopping);
    cancel_.store(true);
  }
  int state() const { return state_.load(); }
  // Waits for the thread to end; true when it has (or never started).
  bool wait(unsigned long ms = ULONG_MAX);

  const QString &bookId() const { return bookId_; }
  // True when the run did not do its work: a chapter could not be stored (a file that can't be
  // written, a failing statement), the library could not take the chapter list, the site has
  // no rule, another program is updating the book, or every page it needed failed to arrive.
  // The window stays quiet about it; the command line says problem() and fails.
  bool failed() const { return failed_.load(); }
  // Why the run failed, in words for the user; empty when it did not.
  QString problem() const;

  // The run itself, on the calling thread (the headless command line and tests use it).
  void dodown();

Q_SIGNALS:
  // Panel 1 of the status bar.
  void status(const QString &text);
  // The run ended by itself (not by a stop): the screen goes back to idle (enddown).
  void ended();
  // The thread has ended, whatever the reason; the worker may be deleted now.
  void threadFinished();

private:
  bool stopping() const { return state_.load() == Stopping; }
  void fail(const QString &why);
  void run();

  Tools tools_;
  QString bookId_;
  int mode_;
  QByteArray muluurl_;
  QStringList selectedIds_;
  std::atomic<int> state_{Running};
  std::atomic<bool> failed_{false};
  std::atomic<bool> cancel_{false};
  mutable QMutex problemMutex_;
  QString problem_;
  std::unique_ptr<QThread> thread_;
};

} // namespace inkwren
