#include "rules/update/updateservice.h"

#include "core/codec.h"
#include "rules/update/threaddown.h"
#include "rules/update/updateall.h"
#include "shelf/bookshelf.h"

#include <QTimer>

namespace inkwren {

const QString UpdateService::kBusy = QStringLiteral("当前下载更新进程执行中，不可以执行该操作!");
const QString UpdateService::kOneAtATime =
    QStringLiteral("当前有小说正在更新，不可以同时更新多本小说!");

UpdateService::UpdateService(ChapterStore &chapters, const ChapterFiles &files, Bookshelf &shelf,
                             const RuleSet &rules, const Settings &settings, QObject *parent)
    : QObject(parent), chapters_(chapters), files_(files), shelf_(shelf), rules_(rules),
      settings_(settings), downtime_(new QTimer(this)) {
  downtime_->setInterval(100);
  connect(downtime_, &QTimer::timeout, this, &UpdateService::downtimeTimer);
  panel1_ = QStringLiteral("更新停止");

  // A new book starts its first update; a book that is deleted stops its own.
  shelf_.setUpdateHooks([this] { return running(); },
                        [this](const QString &bookId) {
                          if (updateNewBooks_ && !running())
                            startWorker(bookId, TThreadDown::UpdateBook);
                        },
                        [this](const QString &bookId) {
                          if (!current_ || current_->bookId() != bookId)
                            return;
                          // The book's files are deleted next: wait for the job's thread, so that
                          // nothing it was about to write appears after them (a fetch under way is
                          // cut short).
                          TThreadDown *job = current_;
                          if (running())
                            stopdown();
                          job->stop();
                          job->wait(10000);
                        });
}

UpdateService::~UpdateService() {
  stopAll();
  shelf_.setUpdateHooks({}, {}, {});
}

void UpdateService::setPanel(int panel, const QString &text) {
  (panel == 0 ? panel0_ : panel1_) = text;
  Q_EMIT status(panel, text);
}

void UpdateService::setIdle() {
  setPanel(1, QStringLiteral("更新停止"));
  if (running_) {
    running_ = false;
    Q_EMIT runningChanged(false);
  }
}

std::unique_ptr<TThreadDown> UpdateService::makeJob(const QString &bookId, int mode,
                                                    const QStringList &selectedIds) {
  const TPItem *book = shelf_.getbn(bookId);
  if (!book || running())
    return nullptr;
  auto job = std::make_unique<TThreadDown>(TThreadDown::Tools{chapters_, rules_, settings_, files_},
                                           bookId, mode, codec::encode(book->muluurl), selectedIds);
  TThreadDown *w = job.get();
  // Connected before the job runs. On a worker thread the reports arrive queued, in order.
  connect(w, &TThreadDown::status, this, [this, w](const QString &text) {
    if (w == current_ && running())
      setPanel(1, text);
  });
  connect(w, &TThreadDown::ended, this, [this, w] {
    if (w->failed())
      Q_EMIT runFailed(w->bookId(), w->problem());
    enddown(w);
  });
  begin(w, book->name);
  return job;
}

void UpdateService::begin(TThreadDown *job, const QString &bookName) {
  current_ = job;
  shelf_.setUpdating(job->bookId(), true);
  setPanel(0, QStringLiteral("更新小说 ") + bookName);
  setPanel(1, QStringLiteral("开始更新..."));
  running_ = true;
  Q_EMIT runningChanged(true);
}

bool UpdateService::startWorker(const QString &bookId, int mode, const QStringList &selectedIds) {
  std::unique_ptr<TThreadDown> job = makeJob(bookId, mode, selectedIds);
  if (!job)
    return false;
  TThreadDown *w = job.get();
  // Emitted after the job's last report, so nothing of it is still on its way.
  connect(w, &TThreadDown::threadFinished, this, [this, w] {
    if (current_ == w)
      current_ = nullptr;
    std::erase_if(workers_, [w](const auto &p) { return p.get() == w; });
  });
  workers_.push_back(std::move(job));
  w->start();
  return true;
}

bool UpdateService::runHere(const QString &bookId, int mode, const QStringList &selectedIds) {
  std::unique_ptr<TThreadDown> job = makeJob(bookId, mode, selectedIds);
  if (!job)
    return false;
  job->dodown();
  // A run that ended by itself has gone through enddown; a stopped one is ended here.
  if (running() && current_ == job.get())
    enddown(job.get());
  current_ = nullptr;
  return !job->failed();
}

void UpdateService::enddown(TThreadDown *worker) {
  if (!worker)
    return;
  worker->stop();
  const QString bookId = worker->bookId();
  shelf_.redrawbookx(bookId);
  shelf_.setUpdating(bookId, false);
  Q_EMIT runEnded(bookId);
  // A job that was stopped and replaced by a newer one leaves the screen to the newer one.
  if (worker == current_)
    setIdle();
}

void UpdateService::stopdown() {
  downtime_->stop();
  if (running() && current_)
    enddown(current_);
  setIdle();
}

void UpdateService::stopAll() {
  downtime_->stop();
  for (auto &w : workers_)
    w->stop();
  for (auto &w : workers_)
    w->wait();
  workers_.clear();
  current_ = nullptr;
}

void UpdateService::startUpdateAll() {
  downindex = 0;
  downtime_->start();
}

bool UpdateService::updatingAll() const {
  return downtime_->isActive();
}

std::optional<NextBook> UpdateService::nextForUpdateAll() {
  std::optional<NextBook> next = nextBookToUpdate(shelf_, downindex);
  if (next) {
    downindex = next->index;
    Q_EMIT categoryReached(next->typeId);
  }
  return next;
}

void UpdateService::downtimeTimer() {
  if (running())
    return;
  std::optional<NextBook> next = nextForUpdateAll();
  if (!next) {
    downtime_->stop();
    return;
  }
  startWorker(next->bookId, TThreadDown::UpdateBook);
}

bool UpdateService::runUpdateAllHere() {
  downindex = 0;
  bool ok = true;
  while (std::optional<NextBook> next = nextForUpdateAll())
    ok = runHere(next->bookId, TThreadDown::UpdateBook) && ok;
  return ok;
}

} // namespace inkwren
