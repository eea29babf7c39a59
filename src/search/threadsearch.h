#pragma once
// The search coordinator TThreadSearch: runs one search over a list of sites on a thread of its
// own, handing the sites out to workers (TThreadSearchxx, one per site), at most slotcount at a
// time. It works in ticks: in each tick every busy slot's worker uses one more tick; a worker
// that has used more than 50 is waited for (a worker still fetching then delays the
// coordinator) and its slot freed; a free slot takes the next site at once; then the
// coordinator sleeps one tick (100 ms). So a worker keeps its slot 51 ticks even when its site
// answered sooner. When every site has been handed out the ticks go on until every slot is free;
// then the search ends (endsearch).
//
// The screen hears of a search only through the signals, which are all emitted on the thread
// that owns this object (the main thread), in the order the workers handed their hits over.
// After endsearch() nothing but the end is reported: hits still on their way are dropped, and
// fetches under way are cut short.
//
// Threads: construct, start, endsearch and destroy on the owning thread (its event loop must
// run to receive the reports). searching(), site(), query(), handHit and the like are for the
// workers.
#include "search/searchsite.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace inkwren {

class Settings;

class TThreadSearch : public QObject {
  Q_OBJECT
public:
  static constexpr int kWindowTicks = 50;

  // sites: the sites in search order (copied; the list is not read elsewhere during the
  // search). slotcount: workers at the same time, at least 1. timeoutMs: read time-out of each
  // site's fetch. tick: the length of a tick (tests shorten it).
  TThreadSearch(const Settings &settings, std::vector<SearchSite> sites, SearchQuery query,
                int slotcount, int timeoutMs,
                std::chrono::milliseconds tick = std::chrono::milliseconds(100),
                QObject *parent = nullptr);
  // Ends the search and waits for its threads.
  ~TThreadSearch() override;

  // The slot count and the fetch time-out a search takes from the settings: `sscount` (1 to 10,
  // 5 when it is no number) and `ssout` seconds (10 when it is no number).
  static int slotCount(const Settings &settings);
  static int timeoutMs(const Settings &settings);

  // Starts the coordinator's thread. Connect the signals first.
  void start();
  // Ends the search: "搜索结束！" and ended(), once. Also how the coordinator ends by itself.
  void endsearch();
  // The search runs (on the owning thread: until endsearch; elsewhere: until state 2).
  bool running() const { return accepting_; }
  // Hits reported so far.
  int hitCount() const { return hits_; }

  // For the workers.
  bool searching() const { return state_.load() == 1; }
  const SearchSite &site(int row) const { return sites_[std::size_t(row)]; }
  const SearchQuery &query() const { return query_; }
  const Settings &settings() const { return settings_; }
  const std::atomic<bool> &cancelFlag() const { return cancel_; }
  int timeoutMs() const { return timeoutMs_; }
  // A hit for the main thread; false once the search no longer runs.
  bool handHit(SearchHit &&hit);
  // A worker has searched its site through.
  void handSiteDone(int siterow);

Q_SIGNALS:
  // A hit for the list.
  void hit(const inkwren::SearchHit &hit);
  // A status panel (0 or 1) got a new text.
  void status(int panel, const QString &text);
  // A worker took a site: its row, its slot and the tick (0 = the first) it started in.
  void workerStarted(int siterow, int slot, int tick);
  // The search ended (by itself or by endsearch).
  void ended();

  // The workers' reports on their way to the owning thread.
  void handedHit(const inkwren::SearchHit &hit, QPrivateSignal);
  void handedSiteDone(int siterow, QPrivateSignal);
  void handedStart(int siterow, int slot, int tick, QPrivateSignal);
  void handedEnd(QPrivateSignal);

private:
  void Execute();
  void stopThreads();
  bool sleepTick();
  void onHit(const SearchHit &hit);
  void onSiteDone(int siterow);

  const Settings &settings_;
  const std::vector<SearchSite> sites_;
  const SearchQuery query_;
  const QString enkey_;
  const int slotcount_;
  const int timeoutMs_;
  const std::chrono::milliseconds tick_;

  std::atomic<int> state_{1}; // 1 running, 2 ended
  std::atomic<bool> cancel_{false};
  std::mutex mutex_;
  std::condition_variable wake_;
  std::thread thread_;

  bool accepting_ = false; // owning thread only
  int hits_ = 0;
};

} // namespace inkwren
