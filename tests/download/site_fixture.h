#pragma once
// The program's object graph on a data folder with an empty library and a rule file, beside
// novel sites served on 127.0.0.1. Pages are given in Unicode and served as GBK (or as UTF-8
// where asked).
#include "core/codec.h"
#include "core/messages.h"
#include "rules/rulefile.h"
#include "rules/update/chapterdownloader.h"
#include "rules/update/chapterlistextractor.h"
#include "rules/update/threaddown.h"
#include "shell/appcontext.h"
#include "support/loopback_server.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace inkwren::test {

inline QByteArray gbk(const QString &s) {
  return codec::encode(s);
}

// One site rule record (fields s0..s10; line breaks inside a field written as {{br}}).
inline QByteArray ruleRecord(const QByteArray &key, const QStringList &fields) {
  QByteArray r = "<dw><wk>" + key + "</wk>";
  for (int n = 0; n <= 10; ++n) {
    QString f = n < fields.size() ? fields[n] : QString();
    f.replace(QLatin1String("\n"), QLatin1String("{{br}}"));
    r += "<s" + QByteArray::number(n) + ">" + gbk(f) + "</s" + QByteArray::number(n) + ">";
  }
  return r + "</dw>";
}

// Messages of a headless run: kept for the test to look at; every question is answered no.
struct QuietMessages : Messages {
  void tsxx(const QString &text) override { said << text; }
  bool qrxx(const QString &) override { return false; }
  QStringList said;
};

struct SiteFixture : ::testing::Test {
  QTemporaryDir dir;
  QuietMessages messages;
  AppContext app{dir.path(), messages, QStringLiteral("http://127.0.0.1:9/")};
  DataFolder &folder = app.folder;
  Settings &settings = app.settings;
  Database &db = app.db;
  RuleSet &rules = app.rules;
  ChapterFiles &files = app.files;
  ChapterStore &chapterStore = app.chapters;
  // The main thread's fetch context.
  WebPath &webpath = app.main.webpath;
  Fetcher &fetcher = app.main.fetcher;
  RuleInterpreter &interpreter = app.main.interpreter;
  TThreadDown::Tools tools{chapterStore, rules, settings, files};
  QByteArrayList ruleRecords;

  void SetUp() override {
    QString error;
    ASSERT_TRUE(folder.prepare(&error, QString())) << error.toStdString();
    ASSERT_TRUE(app.openLibrary(&error)) << error.toStdString();
  }

  // Adds the rule of a site (its key made from the server's address) and reloads the rules.
  void addRule(const LoopbackServer &site, const QStringList &fields) {
    ruleRecords << ruleRecord(RuleSet::geturlkey(site.url("/")), fields);
    ASSERT_TRUE(codec::writeFileAtomic(rules.ruleFilePath(),
                                       RuleFile::build({"", ruleRecords.join("\r\n")})));
    rules.loadRules();
  }

  QString addBook(const QString &name, const QByteArray &muluurl, int downtype = 0) {
    db.exec(
        QStringLiteral("insert into book_list (typeid,bookname,authorname,muluurl,downtype,paix) "
                       "values (1,?,'',?,?,1)"),
        {name, QString::fromLatin1(muluurl), downtype});
    return QString::number(db.lastInsertId());
  }

  struct Chapter {
    QString id, name, volume, url;
    int words = 0, paix = 0;
  };
  std::vector<Chapter> chapters(const QString &bookId) {
    std::vector<Chapter> out;
    auto rows = db.query(
        QStringLiteral("select * from book_zhangjie where bookid=? order by paix,zhangjieid"),
        {bookId.toLongLong()});
    for (const Row &r : *rows)
      out.push_back({r.text(QStringLiteral("zhangjieid")), r.text(QStringLiteral("zhangjiename")),
                     r.text(QStringLiteral("fenjuanname")), r.text(QStringLiteral("zhangjieurl")),
                     int(r.integer(QStringLiteral("zishutongji"))),
                     int(r.integer(QStringLiteral("paix")))});
    return out;
  }
  QString chapterText(const QString &bookId, const QString &chapterId) {
    QFile f(files.chapterFile(bookId, chapterId));
    return f.open(QIODevice::ReadOnly) ? codec::decode(f.readAll()) : QString();
  }

  // Runs a worker to its end on this thread; gives the status texts it sent.
  QStringList run(const QString &bookId, int mode, const QByteArray &muluurl,
                  const QStringList &selected = {}) {
    TThreadDown worker(tools, bookId, mode, muluurl, selected);
    QStringList statuses;
    bool ended = false;
    QObject::connect(&worker, &TThreadDown::status, [&](const QString &s) { statuses << s; });
    QObject::connect(&worker, &TThreadDown::ended, [&] { ended = true; });
    worker.dodown();
    if (ended)
      statuses << QStringLiteral("<ended>");
    return statuses;
  }
};

} // namespace inkwren::test
