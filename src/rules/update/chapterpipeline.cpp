#include "rules/update/chapterpipeline.h"

#include "rules/fetchcontext.h"

#include <QThread>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>

namespace inkwren {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kTick = std::chrono::milliseconds(50); // how often a waiting thread looks at stop

bool slowDown(long status) {
  return status == 429 || status == 503;
}

} // namespace

ChapterPipeline::Summary
ChapterPipeline::run(const QString &bookId, const std::vector<Chapter> &list, const Hooks &hooks) {
  Summary summary;
  const std::size_t n = list.size();
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::optional<ChapterDownloader::Fetched>> results(n);
  std::vector<int> tries(n, 0);
  std::deque<std::size_t> again; // chapters to be fetched once more (after a 429 or 503)
  std::size_t next = 0;          // the next chapter no thread has taken yet
  std::size_t storing = 0;       // the chapter the run stores next (changed under the mutex)
  int limit = threads_, active = 0;
  Clock::time_point resumeAt{};
  QString notice; // a text for the status bar, handed to the run's thread
  std::atomic<bool> finished{false}; // the run is over: the fetching threads end
  auto stopping = [&] { return finished.load() || (hooks.stop && hooks.stop()); };

  auto fetchLoop = [&] {
    FetchContext context(settings_, cancel_, &pool_);
    const ChapterDownloader downloader(chapters_, context.fetcher, context.interpreter, files_);
    const ChapterDownloader::StopCheck stop = stopping;
    std::unique_lock lock(mutex);
    for (;;) {
      // A chapter may be taken when the window ahead of storing allows it, fewer than `limit`
      // threads are fetching, and any pause a site asked for is over.
      std::optional<std::size_t> take;
      while (!stopping()) {
        const bool open = active < limit && Clock::now() >= resumeAt;
        if (open && !again.empty()) {
          take = again.front();
          again.pop_front();
          break;
        }
        if (open && next < n && next < storing + std::size_t(threads_)) {
          take = next++;
          break;
        }
        if (next >= n && again.empty())
          return;
        changed.wait_for(lock, kTick);
      }
      if (!take)
        return;
      const std::size_t i = *take;
      ++active;
      ++tries[i];
      lock.unlock();
      ChapterDownloader::Fetched fetched =
          downloader.fetchChapter(bookId, list[i].id, list[i].url, list[i].rule, stop);
      lock.lock();
      --active;
      if (slowDown(fetched.status) && tries[i] < kMaxTries && !stopping()) {
        const int wait = std::clamp(fetched.retryAfterSeconds >= 0 ? fetched.retryAfterSeconds
                                                                   : kDefaultWaitSeconds,
                                    0, kMaxWaitSeconds);
        limit = 1;
        resumeAt = std::max(resumeAt, Clock::now() + std::chrono::seconds(wait));
        notice = QStringLiteral("网站要求放慢 (HTTP %1)：%2 秒后继续，改为逐章下载")
                     .arg(fetched.status)
                     .arg(wait);
        again.push_back(i);
      } else {
        results[i] = std::move(fetched);
      }
      changed.notify_all();
    }
  };

  std::vector<std::unique_ptr<QThread>> threads;
  for (int t = 0; t < threads_ && std::size_t(t) < n; ++t) {
    threads.emplace_back(QThread::create(fetchLoop));
    threads.back()->start();
  }

  for (std::size_t i = 0; i < n; ++i) {
    if (hooks.status)
      hooks.status(QStringLiteral("更新章节 %1...").arg(list[i].name));
    std::optional<ChapterDownloader::Fetched> fetched;
    {
      std::unique_lock lock(mutex);
      storing = i;
      changed.notify_all(); // the window ahead of storing moved
      while (!results[i] && !stopping()) {
        if (!notice.isEmpty() && hooks.status) {
          const QString text = std::exchange(notice, QString());
          lock.unlock();
          hooks.status(text);
          lock.lock();
          continue;
        }
        changed.wait_for(lock, kTick);
      }
      if (results[i])
        fetched = std::move(results[i]);
    }
    if (!fetched || stopping() || fetched->outcome == ChapterDownloader::Outcome::Stopped) {
      summary.stopped = true;
      break;
    }
    if (fetched->outcome != ChapterDownloader::Outcome::FetchFailed)
      summary.anyPage = true;
    if (fetched->outcome != ChapterDownloader::Outcome::Stored)
      continue; // no text: the chapter stays without, to be tried by the next update
    if (ChapterDownloader::storeChapter(chapters_, files_, bookId, list[i].id,
                                        fetched->text) == ChapterDownloader::Outcome::Failed) {
      summary.failedChapter = list[i].name;
      break;
    }
  }
  {
    std::lock_guard lock(mutex);
    finished = true;
    changed.notify_all();
  }
  for (auto &t : threads)
    t->wait();
  return summary;
}

} // namespace inkwren
