#include "search/threadsearch.h"

#include "core/settings.h"
#include "search/encodestr.h"
#include "search/threadsearchxx.h"

#include <memory>

namespace inkwren {

TThreadSearch::TThreadSearch(const Settings &settings, std::vector<SearchSite> sites,
                             SearchQuery query, int slotcount, int timeoutMs,
                             std::chrono::milliseconds tick, QObject *parent)
    : QObject(parent), settings_(settings), sites_(std::move(sites)), query_(std::move(query)),
      enkey_(encodestr(query_.key)), slotcount_(std::max(1, slotcount)), timeoutMs_(timeoutMs),
      tick_(tick) {
  connect(this, &TThreadSearch::handedHit, this, &TThreadSearch::onHit, Qt::QueuedConnection);
  connect(this, &TThreadSearch::handedSiteDone, this, &TThreadSearch::onSiteDone,
          Qt::QueuedConnection);
  connect(
      this, &TThreadSearch::handedStart, this,
      [this](int row, int slot, int tick) { Q_EMIT workerStarted(row, slot, tick); },
      Qt::QueuedConnection);
  connect(this, &TThreadSearch::handedEnd, this, &TThreadSearch::endsearch, Qt::QueuedConnection);
}

TThreadSearch::~TThreadSearch() {
  accepting_ = false;
  stopThreads();
}

int TThreadSearch::slotCount(const Settings &settings) {
  return std::clamp(settings.number(Settings::sscount, 5), 1, 10);
}

int TThreadSearch::timeoutMs(const Settings &settings) {
  return settings.number(Settings::ssout, 10) * 1000;
}

void TThreadSearch::start() {
  if (thread_.joinable() || state_.load() != 1)
    return;
  accepting_ = true;
  thread_ = std::thread([this] { Execute(); });
}

void TThreadSearch::stopThreads() {
  {
    std::lock_guard lock(mutex_);
    state_.store(2);
    cancel_.store(true);
  }
  wake_.notify_all();
  if (thread_.joinable())
    thread_.join();
}

void TThreadSearch::endsearch() {
  {
    std::lock_guard lock(mutex_);
    state_.store(2);
    cancel_.store(true);
  }
  wake_.notify_all();
  if (!accepting_)
    return;
  accepting_ = false;
  Q_EMIT status(0, QStringLiteral("搜索结束！"));
  Q_EMIT ended();
}

bool TThreadSearch::handHit(SearchHit &&hit) {
  if (!searching())
    return false;
  Q_EMIT handedHit(hit, QPrivateSignal());
  return true;
}

void TThreadSearch::handSiteDone(int siterow) {
  Q_EMIT handedSiteDone(siterow, QPrivateSignal());
}

void TThreadSearch::onHit(const SearchHit &hit) {
  if (!accepting_)
    return;
  ++hits_;
  Q_EMIT this->hit(hit);
}

void TThreadSearch::onSiteDone(int siterow) {
  if (!accepting_)
    return;
  Q_EMIT status(0, QStringLiteral("当前已搜索完 %1 ……").arg(site(siterow).name));
  Q_EMIT status(1, QStringLiteral("共有 %1 条记录").arg(hits_));
}

bool TThreadSearch::sleepTick() {
  std::unique_lock lock(mutex_);
  return !wake_.wait_for(lock, tick_, [this] { return state_.load() == 2; });
}

void TThreadSearch::Execute() {
  try {
    std::vector<std::unique_ptr<TThreadSearchxx>> workers(static_cast<std::size_t>(slotcount_));
    std::size_t next = 0;
    for (int tick = 0;; ++tick) {
      if (state_.load() == 2)
        break;
      bool busy = false;
      for (int i = 0; i < slotcount_; ++i) {
        std::unique_ptr<TThreadSearchxx> &worker = workers[std::size_t(i)];
        if (worker && ++worker->ticks > kWindowTicks)
          worker.reset(); // waits for a worker still fetching
        if (!worker && next < sites_.size()) {
          const int row = int(next++);
          worker =
              std::make_unique<TThreadSearchxx>(*this, i, row, query_.key, enkey_, query_.type);
          Q_EMIT handedStart(row, i, tick, QPrivateSignal());
          worker->start();
        }
        busy = busy || worker;
      }
      if (!busy || !sleepTick())
        break;
    }
    // Stopped or done: the workers still running were told to stop; wait for them.
    workers.clear();
  } catch (...) {
  }
  state_.store(2);
  Q_EMIT handedEnd(QPrivateSignal());
}

} // namespace inkwren
