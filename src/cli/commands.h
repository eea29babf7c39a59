#pragma once
// Commands of inkwren-cli. Each command is a function in a file of its own, listed in the table
// of main.cpp. Commands write their results to standard output and their complaints to standard
// error, and return the process exit status.
#include <QString>
#include <QStringList>

namespace inkwren::cli {

struct Context {
  QString home;     // the data folder, already prepared
  QStringList args; // the command's arguments, after the command name
};

// Writes bytes to standard output unchanged.
void writeOut(QByteArrayView bytes);
// Writes UTF-8 text to standard output / standard error.
void printOut(const QString &text);
void printErr(const QString &text);
// Whether an argument is a whole number (a book or chapter id).
bool isId(const QString &text);
// True when the command got exactly n arguments; else prints "usage: inkwren-cli " + usage.
bool hasArgs(const Context &ctx, qsizetype n, const char *usage);

// Rules engine: run a rule expression, print a site key, print a site's rule record, fetch a page.
int expr(Context &ctx);
int key(Context &ctx);
int rule(Context &ctx);
int fetch(Context &ctx);

// Downloading: add a novel, update one or all, dry runs of a table of contents and a chapter.
int add(Context &ctx);
int update(Context &ctx);
int toc(Context &ctx);
int chapter(Context &ctx);

// Bookshelf: list categories and books, export a book as an e-book, import a text file.
int list(Context &ctx);
int exportBook(Context &ctx);
int importFile(Context &ctx);

// Reader: print a chapter's reading page and mark the chapter read.
int page(Context &ctx);

// Search: search the search sites for a novel; list the search sites.
int search(Context &ctx);
int sites(Context &ctx);

// Online service: the network bookshelf, the search-site list, the version check.
int stack(Context &ctx);
int searchset(Context &ctx);
int checkup(Context &ctx);

// Read-aloud: synthesise a chapter into a WAV file with its word events, list the voices.
int speak(Context &ctx);
int voices(Context &ctx);

} // namespace inkwren::cli
