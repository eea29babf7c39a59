// Search: the work of one site on one result page, and how soon the first hit of a search over
// ten loopback sites reaches the main thread after the fastest site has answered.
#include "core/codec.h"
#include "core/settings.h"
#include "rules/fetchcontext.h"
#include "search/searchsites.h"
#include "search/threadsearch.h"
#include "search/threadsearchxx.h"
#include "support/loopback_server.h"
#include "support/search_sites.h"

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

using namespace inkwren;
using namespace inkwren::test;
using Clock = std::chrono::steady_clock;

namespace {

SearchSite siteFrom(const QString &record) {
  return SearchSites::loadss({}, record).front();
}

// One site's share of the CPU: the real 50-hit result page (UTF-8) through s4 (to GBK), the
// result pattern s5 and the templates s6 to s9, as a worker does after its fetch.
void BM_CutResultPage(benchmark::State &state) {
  QTemporaryDir dir;
  Settings settings(dir.filePath(QStringLiteral("set.ini")));
  settings.newset();
  FetchContext context(settings);
  const SearchSite site = siteFrom(qudushuSite("http://127.0.0.1:9"));
  const QByteArray body =
      corpusPage(QStringLiteral("qudushu_search_wo.html")).replace('\r', "").replace('\n', "");
  const SearchQuery query{SearchType::ByName, QStringLiteral("我")};
  int hits = 0;
  for (auto _ : state) {
    hits = 0;
    const QString page = context.interpreter.guizstr(codec::decode(body), site.s[4]);
    TThreadSearchxx::cut(page, site, query, QStringLiteral("http://127.0.0.1:9/"),
                         context.interpreter, [&hits](SearchHit &&) { return ++hits > 0; });
    benchmark::DoNotOptimize(hits);
  }
  state.counters["hits"] = hits;
}
BENCHMARK(BM_CutResultPage)->Unit(benchmark::kMicrosecond);

// Ten sites answering after 0 to 300 ms, all searched at once: the time from the fastest
// site's answer to its first hit in the main thread's hands.
void BM_FirstHitAfterFastestAnswer(benchmark::State &state) {
  QTemporaryDir dir;
  Settings settings(dir.filePath(QStringLiteral("set.ini")));
  settings.newset();
  LoopbackServer server;
  std::mutex mutex;
  Clock::time_point firstAnswer{};
  std::atomic<int> answered{0};
  std::vector<SearchSite> sites;
  const int delays[] = {210, 90, 300, 150, 30, 270, 120, 240, 60, 180}; // the fastest is fifth
  for (int i = 0; i < 10; ++i) {
    const QByteArray prefix = "/s" + QByteArray::number(i);
    const QByteArray page = listPage({{QStringLiteral("星海%1").arg(i), QStringLiteral("甲"),
                                       QStringLiteral("一"), QStringLiteral("x/")}});
    const int delay = delays[i];
    server.route(prefix + "/search", [&, page, delay](const HttpRequest &) {
      std::this_thread::sleep_for(std::chrono::milliseconds(delay));
      {
        std::lock_guard lock(mutex);
        if (firstAnswer == Clock::time_point{})
          firstAnswer = Clock::now();
      }
      ++answered;
      return HttpResponse::text(page);
    });
    sites.push_back(siteFrom(
        listSite(QStringLiteral("站%1").arg(i), QStringLiteral("k%1").arg(i), server.url(prefix))));
  }
  int expected = 0;
  for (auto _ : state) {
    // The slow sites of the last round answer first, so that they can't pass for this round's.
    for (int waited = 0; answered.load() < expected && waited < 2000; waited += 5)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    expected += 10;
    {
      std::lock_guard lock(mutex);
      firstAnswer = {};
    }
    Clock::time_point firstHit{};
    TThreadSearch search(settings, sites, {SearchType::ByName, QStringLiteral("星海")}, 10, 10000);
    QEventLoop loop;
    QObject::connect(&search, &TThreadSearch::hit, &loop, [&] {
      if (firstHit == Clock::time_point{})
        firstHit = Clock::now();
      loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    search.start();
    loop.exec();
    search.endsearch();
    std::lock_guard lock(mutex);
    state.SetIterationTime(std::chrono::duration<double>(firstHit - firstAnswer).count());
  }
}
BENCHMARK(BM_FirstHitAfterFastestAnswer)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

} // namespace
