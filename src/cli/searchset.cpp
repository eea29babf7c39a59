// inkwren-cli searchset upload|download --user NAME: the search-site list "db/searchset.dat"
// (one "key,1" or "key,0" line per site) sent to the service or replaced by the service's copy.
// A downloaded list is written only when it arrived whole and is not empty.
#include "cli/commands.h"
#include "cli/engine.h"
#include "cli/servicelogin.h"

#include "core/codec.h"
#include "search/searchset.h"

namespace inkwren::cli {

int searchset(Context &ctx) {
  QStringList args = ctx.args;
  bool bad = false;
  const QString user = takeUser(args, &bad);
  if (bad || args.size() != 1 || (args.front() != u"upload" && args.front() != u"download")) {
    printErr(QStringLiteral("usage: inkwren-cli searchset upload|download --user NAME\n"));
    return 2;
  }
  Engine engine(ctx.home);
  const SearchSetFile file(engine.folder.path(QStringLiteral("db/searchset.dat")));
  if (args.front() == u"upload") {
    const QByteArray list = codec::encode(SearchSetFile::choiceText(file.read()));
    if (list.isEmpty()) {
      printErr(QStringLiteral("inkwren-cli: 没有搜索网站列表: %1\n").arg(file.path()));
      return 1;
    }
    if (!serviceLogin(engine, user))
      return 1;
    return engine.service.searchsetsave(list) == ServiceClient::Outcome::Ok ? 0 : 1;
  }
  if (!serviceLogin(engine, user))
    return 1;
  const std::optional<QByteArray> list = engine.service.getsearchset();
  if (!list)
    return 1;
  if (!file.writeText(codec::decode(*list))) {
    engine.messages.tsxx(QStringLiteral("操作失败!"));
    return 1;
  }
  engine.messages.tsxx(QStringLiteral("下载成功!"));
  return 0;
}

} // namespace inkwren::cli
