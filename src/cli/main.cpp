// inkwren-cli: the command-line front end on the same core as the windows.
#include "cli/commands.h"
#include "core/datafolder.h"

#include <QCoreApplication>

#include <cstdio>

namespace inkwren::cli {

void writeOut(QByteArrayView bytes) {
  std::fwrite(bytes.data(), 1, size_t(bytes.size()), stdout);
  std::fflush(stdout);
}
void printOut(const QString &text) {
  writeOut(text.toUtf8());
}
void printErr(const QString &text) {
  QByteArray b = text.toUtf8();
  std::fwrite(b.data(), 1, size_t(b.size()), stderr);
}

bool hasArgs(const Context &ctx, qsizetype n, const char *usage) {
  if (ctx.args.size() == n)
    return true;
  printErr(QStringLiteral("usage: inkwren-cli %1\n").arg(QString::fromUtf8(usage)));
  return false;
}

bool isId(const QString &text) {
  bool ok = false;
  text.toLongLong(&ok);
  return ok;
}

namespace {

struct Command {
  const char *name;
  const char *usage;
  int (*run)(Context &);
};

// Commands are added here as they are built.
const Command kCommands[] = {
    {"expr", "expr [--webpath URL] RULEFILE [INPUT]   run a rule expression over INPUT (or stdin)",
     expr},
    {"key", "key URL                                 print the site key of an address", key},
    {"rule", "rule URL                                print the rule record for an address", rule},
    {"fetch", "fetch URL                               print a page as rule processing gets it",
     fetch},
    {"add", "add URL --name NAME [--author A] [--category C] [--force]  add a novel (no update)",
     add},
    {"update", "update BOOKID | --all                   update a novel or every novel", update},
    {"toc", "toc URL                                 list the chapters a table of contents gives",
     toc},
    {"chapter",
     "chapter URL                             print a chapter's text as its rules give it",
     chapter},
    {"list", "list                                    list categories and books (tab-separated)",
     list},
    {"export", "export BOOKID FILE [--force]            write a book as one text file (e-book)",
     exportBook},
    {"import", "import BOOKID FILE                      add a text file as a book's last chapter",
     importFile},
    {"page", "page BOOKID CHAPTERID                   print a chapter's reading page (UTF-8), mark it read",
     page},
    {"search", "search [--author] [--exact] KEY          search the search sites for a novel",
     search},
    {"sites", "sites                                   list the search sites in search order",
     sites},
    {"stack",
     "stack list|upload [BOOKID]|download|clear --user NAME   network shelf (password: stdin or "
     "$INKWREN_PASSWORD)",
     stack},
    {"searchset", "searchset upload|download --user NAME  the search-site list on the service",
     searchset},
    {"checkup", "checkup                                 ask the service for a newer version",
     checkup},
    {"speak",
     "speak BOOKID CHAPTERID --wav FILE [--voice N] [--rate R]  a chapter spoken into a WAV file",
     speak},
    {"voices", "voices                                  list the speech voices with their index",
     voices},
    {nullptr, nullptr, nullptr},
};

void usage() {
  QString text = QStringLiteral("Usage: inkwren-cli [--home DIR] COMMAND [ARGS]\n"
                                "       inkwren-cli --help | --version\n\nCommands:\n");
  for (const Command &c : kCommands)
    if (c.name)
      text += QStringLiteral("  %1\n").arg(QString::fromUtf8(c.usage));
  text += QStringLiteral("\nThe data folder is DIR, else $INKWREN_HOME, else the program's folder "
                         "when it holds db/, else $XDG_DATA_HOME/inkwren.\n");
  printOut(text);
}

} // namespace
} // namespace inkwren::cli

int main(int argc, char **argv) {
  using namespace inkwren;
  using namespace inkwren::cli;
  QCoreApplication app(argc, argv);
  QStringList args = app.arguments().mid(1);
  QString home;
  while (!args.isEmpty() && args.front().startsWith(QLatin1String("--"))) {
    QString opt = args.takeFirst();
    if (opt == QLatin1String("--help")) {
      usage();
      return 0;
    }
    if (opt == QLatin1String("--version")) {
      printOut(QStringLiteral("inkwren-cli %1\n").arg(QStringLiteral(INKWREN_VERSION)));
      return 0;
    }
    if (opt == QLatin1String("--home") && !args.isEmpty()) {
      home = args.takeFirst();
      continue;
    }
    printErr(QStringLiteral("inkwren-cli: unknown option %1 (see --help)\n").arg(opt));
    return 2;
  }
  if (args.isEmpty()) {
    usage();
    return 2;
  }
  QString name = args.takeFirst();
  for (const Command &c : kCommands) {
    if (!c.name || name != QLatin1String(c.name))
      continue;
    DataFolder folder(DataFolder::locate(home));
    QString error;
    if (!folder.prepare(&error)) {
      printErr(QStringLiteral("inkwren-cli: %1\n").arg(error));
      return 1;
    }
    Context ctx{folder.root(), args};
    return c.run(ctx);
  }
  printErr(QStringLiteral("inkwren-cli: unknown command %1 (see --help)\n").arg(name));
  return 2;
}
