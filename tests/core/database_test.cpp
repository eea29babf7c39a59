#include "core/database.h"
#include "core/datafolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <chrono>
#include <thread>

using namespace inkwren;

namespace {

struct LibraryFixture : ::testing::Test {
  QTemporaryDir dir;
  Database db;
  QString path() { return dir.filePath(QStringLiteral("book.dat")); }
  void SetUp() override {
    QString error;
    ASSERT_TRUE(Database::createLibrary(path(), &error)) << error.toStdString();
    ASSERT_TRUE(db.connectioncreat(path(), &error)) << error.toStdString();
  }
};

} // namespace

TEST_F(LibraryFixture, InsertTakesTheDefaults) {
  ASSERT_TRUE(db.exec(QStringLiteral("insert into book_zhangjie (bookid,zhangjiename,fenjuanname,"
                                     "zhangjieurl,paix) values (?,?,?,?,?)"),
                      {1, QStringLiteral("第一章"), QString(), QStringLiteral("1.html"), 1}));
  auto row = db.queryOne(QStringLiteral("select * from book_zhangjie"));
  ASSERT_TRUE(row && *row);
  const Row &r = **row;
  EXPECT_EQ(r.integer(QStringLiteral("readstate")), 0);
  EXPECT_EQ(r.integer(QStringLiteral("shifuxianshi")), 1);
  EXPECT_EQ(r.integer(QStringLiteral("zishutongji")), 0);
  QDateTime added = QDateTime::fromString(r.text(QStringLiteral("addtime")),
                                          QStringLiteral("yyyy-MM-dd HH:mm:ss"));
  ASSERT_TRUE(added.isValid());
  EXPECT_LT(qAbs(added.secsTo(QDateTime::currentDateTime())), 120);
}

TEST_F(LibraryFixture, FirstOrderKeyOfAnEmptyTableIsOne) {
  for (const char *table : {"book_type", "book_list"}) {
    auto r =
        db.queryOne(QStringLiteral("SELECT iif(Max(paix) IS NULL,0,Max(paix))+1 as newpaix FROM %1")
                        .arg(QLatin1String(table)));
    ASSERT_TRUE(r && *r);
    EXPECT_EQ((*r)->integer(QStringLiteral("newpaix")), 1) << table;
  }
  auto mpx =
      db.queryOne(QStringLiteral("SELECT Max(paix) as mpx FROM book_zhangjie where bookid=?"), {7});
  ASSERT_TRUE(mpx && *mpx);
  EXPECT_TRUE((*mpx)->isNull(QStringLiteral("mpx")));
}

TEST_F(LibraryFixture, QuotesInTitlesReadBackUnchanged) {
  const QString title = QStringLiteral("他说\"走'吧\"'); drop table book_list; --");
  ASSERT_TRUE(
      db.exec(QStringLiteral("insert into book_list (typeid,bookname,authorname,muluurl,paix) "
                             "values (1,?,'',?,1)"),
              {title, QStringLiteral("http://a/")}));
  auto r = db.queryOne(QStringLiteral("select bookname from book_list where bookname=?"), {title});
  ASSERT_TRUE(r && *r);
  EXPECT_EQ((*r)->text(QStringLiteral("bookname")), title);
}

TEST_F(LibraryFixture, FailuresAreValues) {
  auto bad = db.query(QStringLiteral("select nosuchcolumn from book_type"));
  EXPECT_FALSE(bad.ok());
  EXPECT_FALSE(bad.error().isEmpty());
  db.connectionend();
  EXPECT_FALSE(db.exec(QStringLiteral("delete from book_type")).ok());
}

TEST_F(LibraryFixture, TransactionRollsBackWhenTheBodyFails) {
  EXPECT_FALSE(db.transaction([&] {
    db.exec(QStringLiteral("insert into book_type (typename,paix) values ('a',1)"));
    return false;
  }));
  EXPECT_TRUE(db.transaction([&] {
    return db.exec(QStringLiteral("insert into book_type (typename,paix) values ('b',1)")).ok();
  }));
  auto rows = db.query(QStringLiteral("select typename from book_type"));
  ASSERT_TRUE(rows);
  ASSERT_EQ(rows->size(), 1u);
  EXPECT_EQ((*rows)[0].text(QStringLiteral("typename")), "b");
}

TEST_F(LibraryFixture, StatementsFromSeveralThreadsAreSerialised) {
  auto worker = [&](int base) {
    for (int i = 0; i < 200; ++i)
      db.exec(QStringLiteral("insert into book_zhangjie (bookid,zhangjiename,paix) values (?,?,?)"),
              {base, QString::number(i), i});
  };
  std::thread a(worker, 1), b(worker, 2);
  worker(3);
  a.join();
  b.join();
  auto r = db.queryOne(QStringLiteral("select count(*) as n from book_zhangjie"));
  EXPECT_EQ((*r)->integer(QStringLiteral("n")), 600);
}

TEST_F(LibraryFixture, ABookListsEachAddressOnceAndOlderLibrariesAreMergedOnOpen) {
  auto insert = [&](qint64 book, const char *url, int words, int paix) {
    return db.exec(QStringLiteral("insert into book_zhangjie (bookid,zhangjiename,zhangjieurl,"
                                  "zishutongji,paix) values (?,'c',?,?,?)"),
                   {book, QString::fromLatin1(url), words, paix});
  };
  ASSERT_TRUE(insert(1, "http://s/1.html", 0, 1));
  EXPECT_FALSE(insert(1, "HTTP://S/1.html", 0, 2)); // the same address, any case
  EXPECT_TRUE(insert(2, "http://s/1.html", 0, 1));  // another book may have it
  EXPECT_TRUE(insert(1, "", 0, 3));                 // chapters without an address may be many
  EXPECT_TRUE(insert(1, "", 0, 4));

  // A library from before the rule, holding the same chapter three times (the one with text
  // in the middle) and twice without text.
  ASSERT_TRUE(db.exec(QStringLiteral("drop index book_zhangjie_one_url")));
  ASSERT_TRUE(db.exec(QStringLiteral("delete from book_zhangjie")));
  ASSERT_TRUE(insert(1, "a", 0, 1));
  ASSERT_TRUE(insert(1, "A", 120, 2));
  ASSERT_TRUE(insert(1, "a", 0, 3));
  ASSERT_TRUE(insert(1, "b", 0, 4));
  ASSERT_TRUE(insert(1, "b", 0, 5));
  ASSERT_TRUE(insert(1, "", 0, 6));
  ASSERT_TRUE(insert(1, "", 0, 7));
  db.connectionend();
  ASSERT_TRUE(db.connectioncreat(path()));
  auto rows = db.query(
      QStringLiteral("select zhangjieurl,zishutongji,paix from book_zhangjie order by paix"));
  ASSERT_TRUE(rows);
  QStringList kept;
  for (const Row &r : *rows)
    kept << QStringLiteral("%1:%2:%3")
                .arg(r.text(QStringLiteral("zhangjieurl")))
                .arg(r.integer(QStringLiteral("zishutongji")))
                .arg(r.integer(QStringLiteral("paix")));
  EXPECT_EQ(kept, (QStringList{QStringLiteral("A:120:2"), QStringLiteral("b:0:4"),
                               QStringLiteral(":0:6"), QStringLiteral(":0:7")}));
  EXPECT_FALSE(insert(1, "B", 0, 8));
}

TEST(Library, NonDatabaseFileIsLeftUntouched) {
  QTemporaryDir dir;
  QString path = dir.filePath(QStringLiteral("book.dat"));
  const QByteArray junk("Standard Jet DB\0\x01\x02 not sqlite", 30);
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(junk);
  }
  Database db;
  EXPECT_FALSE(db.connectioncreat(path));
  EXPECT_FALSE(db.isOpen());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), junk);
  EXPECT_FALSE(QFile::exists(path + QStringLiteral("-wal")));
  EXPECT_FALSE(db.connectioncreat(dir.filePath(QStringLiteral("missing.dat"))));
  EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("missing.dat"))));
}

TEST(Library, ALibraryAnotherProgramHoldsLockedIsWaitedFor) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("book.dat"));
  ASSERT_TRUE(Database::createLibrary(path, nullptr));
  // Another program writing with the library locked, as while it changes the journal.
  sqlite3 *other = nullptr;
  ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &other), SQLITE_OK);
  ASSERT_EQ(
      sqlite3_exec(other, "PRAGMA journal_mode=DELETE; BEGIN EXCLUSIVE", nullptr, nullptr, nullptr),
      SQLITE_OK);
  std::thread release([other] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
  });
  Database db;
  QString error;
  EXPECT_TRUE(db.connectioncreat(path, &error)) << error.toStdString();
  release.join();
}

TEST(DataFolderTest, AFolderOfOtherThingsIsRefusedBeforeAnythingIsMadeInIt) {
  QTemporaryDir dir;
  QFile other(dir.filePath(QStringLiteral("notes.txt")));
  ASSERT_TRUE(other.open(QIODevice::WriteOnly));
  other.close();
  QString error;
  EXPECT_FALSE(DataFolder(dir.path()).prepare(&error, {}));
  EXPECT_TRUE(error.contains(dir.path()));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{QStringLiteral("notes.txt")});
  // A folder that has one of ours is a data folder and gets the rest.
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("book")));
  EXPECT_TRUE(DataFolder(dir.path()).prepare(&error, {})) << error.toStdString();
  EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("db"))).isDir());
}

TEST(DataFolderTest, FirstStartSeedsAndLaterStartsKeepUserFiles) {
  QTemporaryDir seed, home;
  QDir(seed.path()).mkpath(QStringLiteral("book"));
  QDir(seed.path()).mkpath(QStringLiteral("skins"));
  for (const char *name : {"book/bank.html", "skins/skin.html"}) {
    QFile f(seed.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("seed");
  }
  QString root = home.filePath(QStringLiteral("inkwren"));
  DataFolder folder(root);
  QString error;
  ASSERT_TRUE(folder.prepare(&error, seed.path())) << error.toStdString();
  EXPECT_TRUE(QFile::exists(folder.path(QStringLiteral("skins/skin.html"))));
  EXPECT_TRUE(QDir(folder.path(QStringLiteral("config"))).exists());
  Database db;
  EXPECT_TRUE(db.connectioncreat(folder.path(QStringLiteral("db/book.dat"))));
  db.connectionend();
  // The user edits the template and deletes the library: a later start seeds nothing again.
  {
    QFile f(folder.path(QStringLiteral("book/bank.html")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("mine");
  }
  QFile::remove(folder.path(QStringLiteral("db/book.dat")));
  ASSERT_TRUE(folder.prepare(&error, seed.path()));
  QFile f(folder.path(QStringLiteral("book/bank.html")));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), "mine");
  EXPECT_FALSE(QFile::exists(folder.path(QStringLiteral("db/book.dat"))));
}

TEST(DataFolderTest, UnusableFolderGivesAMessage) {
  QTemporaryDir home;
  QString file = home.filePath(QStringLiteral("plain"));
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  QString error;
  EXPECT_FALSE(DataFolder(file).prepare(&error, {}));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(DataFolder(file + QStringLiteral("/sub")).prepare(&error, {}));
}
