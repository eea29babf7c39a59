// inkwren-cli search [--author] [--exact] KEY: searches the enabled search sites (every site when
// none is enabled) as the add-book dialog does, with the stored slot count and time-out. Prints
// each hit as it arrives, one tab-separated line of name, site, author, latest chapter and
// table-of-contents address, then the final status line.
//
// inkwren-cli sites: the search sites in search order, one tab-separated line each of name,
// key and enabled flag (1 or 0).
#include "cli/commands.h"
#include "cli/engine.h"
#include "search/searchsites.h"
#include "search/threadsearch.h"

#include <QEventLoop>

namespace inkwren::cli {
namespace {

SearchSites searchSites(const Engine &engine) {
  return SearchSites(engine.rules,
                     SearchSetFile(engine.folder.path(QStringLiteral("db/searchset.dat"))));
}

} // namespace

int search(Context &ctx) {
  SearchQuery query;
  QStringList args = ctx.args;
  while (!args.isEmpty() && args.front().startsWith(QLatin1String("--"))) {
    const QString opt = args.takeFirst();
    if (opt == QLatin1String("--author"))
      query.type = SearchType::ByAuthor;
    else if (opt == QLatin1String("--exact"))
      query.exact = true;
    else
      args.clear();
  }
  if (args.size() != 1 || args.front().trimmed().isEmpty()) {
    printErr(QStringLiteral("usage: inkwren-cli search [--author] [--exact] KEY\n"));
    return 2;
  }
  query.key = args.front();
  Engine engine(ctx.home);
  TThreadSearch search(engine.settings, searchSites(engine).loadSites(), query,
                       TThreadSearch::slotCount(engine.settings),
                       TThreadSearch::timeoutMs(engine.settings));
  QString panel0, panel1;
  QObject::connect(&search, &TThreadSearch::hit, [](const SearchHit &h) {
    printOut(QStringList{h.name, h.site, h.author, h.latest, h.url}.join(u'\t') + u'\n');
  });
  QObject::connect(&search, &TThreadSearch::status,
                   [&](int panel, const QString &text) { (panel == 0 ? panel0 : panel1) = text; });
  QEventLoop loop;
  QObject::connect(&search, &TThreadSearch::ended, &loop, &QEventLoop::quit);
  search.start();
  if (search.running())
    loop.exec();
  printOut(panel0 + (panel1.isEmpty() ? QString() : u'\t' + panel1) + u'\n');
  return 0;
}

int sites(Context &ctx) {
  if (!hasArgs(ctx, 0, "sites"))
    return 2;
  Engine engine(ctx.home);
  for (const SiteRow &r : searchSites(engine).loadRows())
    printOut(QStringList{r.name, r.key, r.checked ? QStringLiteral("1") : QStringLiteral("0")}.join(
                 u'\t') +
             u'\n');
  return 0;
}

} // namespace inkwren::cli
