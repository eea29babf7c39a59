#pragma once
// A throw-away data folder with an empty library, and messages that record what was said and
// answer questions from a script.
#include "core/database.h"
#include "core/datafolder.h"
#include "core/messages.h"
#include "core/services.h"
#include "core/settings.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <deque>

namespace inkwren::test {

class FakeMessages : public Messages {
public:
  void tsxx(const QString &text) override { said.push_back(text); }
  bool qrxx(const QString &question) override {
    asked.push_back(question);
    if (answers.empty())
      return true;
    bool a = answers.front();
    answers.pop_front();
    return a;
  }
  QStringList said, asked;
  std::deque<bool> answers;
};

class ShelfFixture : public ::testing::Test {
protected:
  ShelfFixture()
      : folder(tmp.path()), settings(tmp.path() + QStringLiteral("/config/set.ini")),
        services{folder, settings, db, messages} {
    QDir(tmp.path()).mkpath(QStringLiteral("db"));
    QDir(tmp.path()).mkpath(QStringLiteral("book"));
    QDir(tmp.path()).mkpath(QStringLiteral("config"));
    const QString path = folder.path(QStringLiteral("db/book.dat"));
    EXPECT_TRUE(Database::createLibrary(path, nullptr));
    EXPECT_TRUE(db.connectioncreat(path));
    settings.newset();
  }

  // Inserts a category / book / chapter row directly; gives its id.
  QString category(const QString &name, int paix) {
    db.exec(QStringLiteral("insert into book_type (typename,paix) values (?,?)"), {name, paix});
    return QString::number(db.lastInsertId());
  }
  QString book(const QString &typeId, const QString &name, int paix) {
    db.exec(QStringLiteral("insert into book_list (typeid,bookname,authorname,muluurl,downtype,"
                           "paix) values (?,?,'a','u',0,?)"),
            {typeId.toLongLong(), name, paix});
    return QString::number(db.lastInsertId());
  }
  QString chapter(const QString &bookId, const QString &name, int paix, int read = 0,
                  int shown = 1, const QString &volume = {}, const QString &addtime = {}) {
    db.exec(QStringLiteral("insert into book_zhangjie (bookid,zhangjiename,fenjuanname,"
                           "zhangjieurl,paix,readstate,shifuxianshi) values (?,?,?,?,?,?,?)"),
            {bookId.toLongLong(), name, volume, QStringLiteral("http://s/%1").arg(name), paix,
             read, shown});
    QString id = QString::number(db.lastInsertId());
    if (!addtime.isEmpty())
      db.exec(QStringLiteral("update book_zhangjie set addtime=? where zhangjieid=?"),
              {addtime, id.toLongLong()});
    return id;
  }
  qint64 paix(const char *table, const char *key, const QString &id) {
    auto r = db.queryOne(QStringLiteral("select paix from %1 where %2=?")
                             .arg(QLatin1String(table), QLatin1String(key)),
                         {id.toLongLong()});
    return r && *r ? (*r)->integer(QStringLiteral("paix")) : -1;
  }

  QTemporaryDir tmp;
  DataFolder folder;
  Settings settings;
  Database db;
  FakeMessages messages;
  Services services;
};

} // namespace inkwren::test
