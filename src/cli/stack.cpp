// inkwren-cli stack list|upload [BOOKID]|download|clear --user NAME: the network bookshelf.
//   list      the network shelf, one novel a line: name <TAB> author <TAB> category <TAB> address
//   upload    the novel BOOKID, or without it the whole local shelf
//   download  adds the network shelf's novels to the local shelf (those already held are
//             skipped, missing categories created; no update is started)
//   clear     empties the network shelf
// Messages are the program's own; exit status 0 when the service did what was asked.
#include "cli/commands.h"
#include "cli/engine.h"
#include "cli/servicelogin.h"

namespace inkwren::cli {

namespace {

const char kUsage[] = "stack list|upload [BOOKID]|download|clear --user NAME";

int usageError() {
  printErr(QStringLiteral("usage: inkwren-cli %1\n").arg(QString::fromUtf8(kUsage)));
  return 2;
}

} // namespace

int stack(Context &ctx) {
  QStringList args = ctx.args;
  bool bad = false;
  const QString user = takeUser(args, &bad);
  if (bad || args.isEmpty())
    return usageError();
  const QString action = args.takeFirst();
  const bool known =
      action == u"list" || action == u"upload" || action == u"download" || action == u"clear";
  if (!known || args.size() > (action == u"upload" ? 1 : 0) ||
      (!args.isEmpty() && !isId(args.front())))
    return usageError();

  Engine engine(ctx.home);
  const bool needsShelf = action == u"upload" || action == u"download";
  if (needsShelf) {
    if (!engine.openLibrary())
      return 1;
    engine.updates.setUpdateNewBooks(false);
    engine.shelf.drawbookpanel();
  }
  if (!serviceLogin(engine, user))
    return 1;

  if (action == u"list") {
    const std::optional<QList<StackEntry>> entries = engine.service.getstack();
    if (!entries)
      return 1;
    QString out;
    for (const StackEntry &e : *entries)
      out += QStringList{e.bookname, e.authorname, e.booktype, e.downurl}.join(u'\t') + u'\n';
    printOut(out);
    return 0;
  }
  if (action == u"upload")
    return (args.isEmpty() ? engine.netshelf.upbookall() : engine.netshelf.upbook(args.front()))
               ? 0
               : 1;
  if (action == u"download")
    return engine.netshelf.downstack() ? 0 : 1;
  engine.messages.agreed << QStringLiteral("确实要清空？");
  return engine.netshelf.clearstack() ? 0 : 1;
}

} // namespace inkwren::cli
