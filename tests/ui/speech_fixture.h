#pragma once
// Read-aloud window tests: the fake speech engine in the object graph and a book "书" of two
// chapters ("第1章", "第2章"), optionally with their text downloaded.
#include "data_fixture.h"
#include "support/fake_speech_engine.h"

namespace inkwren::test {

struct SpeechBook {
  FakeSpeechEngine *engine = nullptr;
  QString bookId;
  QStringList ids; // the chapters in order

  // The library must be open.
  void make(DataFixture &f, bool withText) {
    auto fake = std::make_unique<FakeSpeechEngine>();
    engine = fake.get();
    f.app.useSpeechEngine(std::move(fake));
    f.db.exec(QStringLiteral("insert into book_type (typename,paix) values ('小说',1)"));
    f.db.exec(
        QStringLiteral("insert into book_list (typeid,bookname,authorname,muluurl,downtype,"
                       "paix) values ((select min(typeid) from book_type),'书','a','u',0,1)"));
    bookId = QString::number(f.db.lastInsertId());
    for (int i = 1; i <= 2; ++i) {
      f.db.exec(QStringLiteral("insert into book_zhangjie (bookid,zhangjiename,fenjuanname,"
                               "zhangjieurl,paix,readstate,shifuxianshi) values (?,?,'',?,?,0,1)"),
                {bookId.toLongLong(), QStringLiteral("第%1章").arg(i),
                 QStringLiteral("http://s/%1").arg(i), i});
      ids << QString::number(f.db.lastInsertId());
      if (withText)
        f.app.files.writeChapter(bookId, ids.last(), "text");
    }
  }
};

} // namespace inkwren::test
