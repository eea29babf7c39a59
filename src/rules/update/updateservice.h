#pragma once
// The update service: whether an update runs, the job that runs, update all (the cursor
// downindex and the 100 ms timer downtime), the status texts and the rules for starting,
// stopping and ending a run. The window's buttons, status bar and tree follow its signals; the
// command line runs the same jobs on its own thread and prints the same texts.
//
// Only one run at a time: every command that needs the library to itself asks running() and
// refuses with kBusy or kOneAtATime.
//
// Threads: main thread only. A job started with startWorker runs on a worker thread; its
// reports arrive here queued, in the order it made them.
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class QTimer;

namespace inkwren {

class Bookshelf;
class ChapterFiles;
class ChapterStore;
class RuleSet;
class Settings;
class TThreadDown;
struct NextBook;

class UpdateService : public QObject {
  Q_OBJECT
public:
  static const QString kBusy; // "当前下载更新进程执行中，不可以执行该操作!"
  static const QString kOneAtATime; // "当前有小说正在更新，不可以同时更新多本小说!"

  UpdateService(ChapterStore &chapters, const ChapterFiles &files, Bookshelf &shelf,
                const RuleSet &rules, const Settings &settings, QObject *parent = nullptr);
  ~UpdateService() override;

  // An update runs (the status bar is shown).
  bool running() const { return running_; }
  // The status bar's two panels.
  const QString &panel0() const { return panel0_; }
  const QString &panel1() const { return panel1_; }

  // Starts a job for a book of the shelf on a worker thread; false when one runs already or
  // the book is unknown. mode: TThreadDown::Mode; selectedIds for mode 1, in list order.
  bool startWorker(const QString &bookId, int mode, const QStringList &selectedIds = {});
  // Runs a job for a book to its end on the calling thread, with the same texts and end as a
  // worker. False when the book is unknown, an update runs, or the run failed (a chapter
  // could not be stored).
  bool runHere(const QString &bookId, int mode, const QStringList &selectedIds = {});

  // Ends the run of a job and puts the screen back to idle; harmless when called twice.
  void enddown(TThreadDown *worker);
  // Stops update all and the current job.
  void stopdown();
  // Stops every job and waits for their threads (shutdown).
  void stopAll();

  // Update all: the books of the shelf one after another in tree order, each starting on the
  // first tick after the previous one ended.
  void startUpdateAll();
  void downtimeTimer();
  bool updatingAll() const;
  // Update all on the calling thread, to its end; false when any run failed.
  bool runUpdateAllHere();
  int downindex = 0;

  // Whether a book added to the shelf starts its first update (on by default; the command
  // line adds books without updating them).
  void setUpdateNewBooks(bool on) { updateNewBooks_ = on; }

  // The job that runs (or ran last), or nullptr.
  TThreadDown *downthread() const { return current_; }

Q_SIGNALS:
  // A panel of the status bar got a new text (panel 0 or 1), in the order of the changes.
  void status(int panel, const QString &text);
  // The status bar is to be shown (an update starts) or hidden (it ended or was stopped).
  void runningChanged(bool running);
  // A run of this book ended or was stopped: a chapter list showing it is drawn again.
  void runEnded(const QString &bookId);
  // Update all goes on with a book of this category: its node is expanded.
  void categoryReached(const QString &typeId);
  // A run of this book ended without doing its work, for the reason given (the window keeps
  // quiet about it; the command line says it).
  void runFailed(const QString &bookId, const QString &why);

private:
  std::unique_ptr<TThreadDown> makeJob(const QString &bookId, int mode,
                                       const QStringList &selectedIds);
  void begin(TThreadDown *job, const QString &bookName);
  void setPanel(int panel, const QString &text);
  void setIdle();
  std::optional<NextBook> nextForUpdateAll();

  ChapterStore &chapters_;
  const ChapterFiles &files_;
  Bookshelf &shelf_;
  const RuleSet &rules_;
  const Settings &settings_;
  QTimer *downtime_;
  bool running_ = false;
  bool updateNewBooks_ = true;
  QString panel0_, panel1_;
  TThreadDown *current_ = nullptr;
  std::vector<std::unique_ptr<TThreadDown>> workers_; // until their threads end
};

} // namespace inkwren
