#pragma once
// The update commands of the main window: "更新" and "更新全部" with their stop role, the shelf
// menu's "下载更新", "更新全部" and "停止更新", the chapter menu's "选中章节", "空白章节",
// "章节名称及分卷名称" and "同步网络顺序", and "刷新". It starts the update worker, shows its
// progress in the status bar downsb (whose visibility tells every command that an update runs)
// and drives update all with the timer downtime, one novel after the other.
//
// Main thread only. Workers report through queued signals, so their status texts reach the
// status bar in the order they were sent.
#include "core/services.h"
#include "rules/update/threaddown.h"

#include <QObject>

#include <memory>
#include <vector>

class QTimer;

namespace inkwren {

class Fetcher;
class RuleInterpreter;
class RuleSet;
class ShelfWiring;
class Tmainform;
class WebPath;

class UpdateController : public QObject {
  Q_OBJECT
public:
  // fetcher and interpreter serve the commands that read a table of contents on the main
  // thread; workers make their own.
  UpdateController(Services &services, Tmainform &main, ShelfWiring &shelf, RuleSet &rules,
                   WebPath &webpath, const Fetcher &fetcher, const RuleInterpreter &interpreter,
                   QObject *parent = nullptr);
  ~UpdateController() override;

  bool running() const; // downsb is shown
  // Starts a worker for a book of the shelf; false when one runs already or the book is unknown.
  bool startWorker(const QString &bookId, int mode, const QStringList &selectedIds = {});
  // Ends the run of a worker and puts the screen back to idle (safe to call twice).
  void enddown(TThreadDown *worker);
  // Stops update all and the current worker.
  void stopdown();
  // Stops the worker and waits for its thread (shutdown).
  void stopAll();

  void downbClick();
  void downallbClick();
  void downtimeTimer();
  void N14Click();
  void N15Click();
  void N16Click();
  void N73Click();
  void N74Click();
  void N76Click();
  void N98Click();
  void refrebClick();

  QTimer *downtime = nullptr;
  int downindex = 0;
  TThreadDown *downthread() const { return current_; }

private:
  void setIdle();
  void setButtons(bool running);
  void startUpdateAll();
  // The current book's rule record and its table of contents after s1; false when there is
  // no rule (nothing is fetched then).
  bool currentToc(QByteArrayList *rule, QByteArray *toc);
  bool refuseWithoutSelection();

  Services &services_;
  Tmainform &main_;
  ShelfWiring &shelf_;
  RuleSet &rules_;
  WebPath &webpath_;
  const Fetcher &fetcher_;
  const RuleInterpreter &interpreter_;
  TThreadDown *current_ = nullptr;
  std::vector<std::unique_ptr<TThreadDown>> workers_; // until their threads end
};

} // namespace inkwren
