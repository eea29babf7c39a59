#include "shelf_fixture.h"

#include "shelf/chapterfiles.h"
#include "shelf/chaptermarks.h"
#include "shelf/chapterstore.h"

#include <QFile>

namespace inkwren::test {
namespace {

class ChaptersTest : public ShelfFixture {
protected:
  ChaptersTest() {
    t = category(QStringLiteral("T"), 1);
    b = book(t, QStringLiteral("书"), 1);
  }
  // Chapter ids ordered by key, as the book's order shows them.
  QStringList order() {
    QStringList ids;
    auto rows = store.drawmulu(b, 0);
    for (const ChapterRow &r : *rows)
      ids << r.id;
    return ids;
  }
  QString t, b;
  ChapterStore store{db};
};

TEST_F(ChaptersTest, MovesShiftTheKeysInBetween) {
  struct Case {
    int moved, target; // keys
    std::vector<int> keys; // new keys of the chapters that had keys 1..5
  };
  const Case cases[] = {
      {5, 2, {1, 3, 4, 5, 2}},
      {2, 5, {1, 4, 2, 3, 5}},
      {1, 2, {1, 2, 3, 4, 5}},
  };
  for (const Case &c : cases) {
    db.exec(QStringLiteral("delete from book_zhangjie"));
    QStringList ids;
    for (int k = 1; k <= 5; ++k)
      ids << chapter(b, QStringLiteral("c%1").arg(k), k, 0, k == 3 ? 0 : 1);
    ASSERT_TRUE(store.zjmovesql(b, ids[c.moved - 1], ids[c.target - 1]));
    for (int k = 0; k < 5; ++k)
      EXPECT_EQ(paix("book_zhangjie", "zhangjieid", ids[k]), c.keys[k])
          << c.moved << " onto " << c.target << ", chapter " << k + 1;
  }
}

TEST_F(ChaptersTest, MoveOfAMissingChapterChangesNothing) {
  QString a = chapter(b, "a", 1), c = chapter(b, "c", 2);
  EXPECT_FALSE(store.zjmovesql(b, a, QStringLiteral("999")));
  EXPECT_EQ(paix("book_zhangjie", "zhangjieid", a), 1);
  EXPECT_EQ(paix("book_zhangjie", "zhangjieid", c), 2);
}

TEST_F(ChaptersTest, InsertingBeforeKeySevenShiftsItAndLaterKeys) {
  QStringList ids;
  for (int k = 1; k <= 9; ++k)
    ids << chapter(b, QStringLiteral("c%1").arg(k), k);
  auto added = store.addChapter(b, QStringLiteral("插"), QStringLiteral("卷"), QStringLiteral("u"));
  ASSERT_TRUE(added);
  EXPECT_EQ(paix("book_zhangjie", "zhangjieid", added->id), 10);
  EXPECT_EQ(added->words, 0);
  EXPECT_EQ(added->readstate, 0);
  EXPECT_FALSE(added->addtime.isEmpty());
  ASSERT_TRUE(store.zjmovesql(b, added->id, ids[6]));
  EXPECT_EQ(paix("book_zhangjie", "zhangjieid", added->id), 7);
  EXPECT_EQ(paix("book_zhangjie", "zhangjieid", ids[6]), 8);
  EXPECT_EQ(paix("book_zhangjie", "zhangjieid", ids[8]), 10);
  EXPECT_EQ(paix("book_zhangjie", "zhangjieid", ids[5]), 6);
}

TEST_F(ChaptersTest, NewChapterKeys) {
  EXPECT_EQ(*store.nextKey(b), 1);
  QString a = chapter(b, "a", 1);
  QString z = chapter(b, "z", 2);
  EXPECT_EQ(*store.nextKey(b), 3);
  // Deleting the largest key lets the next chapter reuse it.
  store.zjdelsql(ChapterFiles(folder), b, z);
  EXPECT_EQ(*store.nextKey(b), 2);
  // Sorting by name, then adding: the new one gets the largest key plus 1 and comes last.
  chapter(b, "m", 2);
  QStringList byName;
  auto sorted = store.drawmulu(b, ChapterStore::ByName);
  for (const ChapterRow &r : *sorted)
    byName << r.id;
  ASSERT_TRUE(store.zjpaixsql(b, byName));
  auto added = store.addChapter(b, "b", {}, {});
  EXPECT_EQ(order().last(), added->id);
  EXPECT_EQ(paix("book_zhangjie", "zhangjieid", added->id), 3);
  (void)a;
}

TEST_F(ChaptersTest, SortingRewritesKeysAndKeepsFilteredOnes) {
  QString c = chapter(b, "c", 1, 0, 1, {}, "2024-01-03 00:00:00");
  QString f = chapter(b, "f", 7, 0, 0);
  QString a = chapter(b, "a", 2, 0, 1, {}, "2024-01-01 00:00:00");
  QString m = chapter(b, "m", 3, 0, 1, {}, "2024-01-02 00:00:00");
  struct Case {
    int mode;
    QStringList ids;
  };
  const Case cases[] = {{ChapterStore::ByName, {a, c, m}}, {ChapterStore::ByTime, {a, m, c}}};
  for (const Case &k : cases) {
    QStringList ids;
    auto sorted = store.drawmulu(b, k.mode);
    for (const ChapterRow &r : *sorted)
      ids << r.id;
    EXPECT_EQ(ids, k.ids);
    ASSERT_TRUE(store.zjpaixsql(b, ids));
    EXPECT_EQ(order(), k.ids);
    EXPECT_EQ(paix("book_zhangjie", "zhangjieid", k.ids[0]), 1);
    EXPECT_EQ(paix("book_zhangjie", "zhangjieid", f), 7);
  }
}

TEST_F(ChaptersTest, MarkingPlans) {
  auto rows = [](std::initializer_list<int> selected) {
    std::vector<ChapterMark> r;
    for (int i = 0; i < 5; ++i)
      r.push_back({QString::number(i + 10), i % 2 == 1, i < 2 ? "V1" : "V2", false});
    for (int s : selected)
      r[std::size_t(s)].selected = true;
    return r;
  };
  struct Case {
    int mode;
    std::initializer_list<int> selected;
    bool has;
    QStringList ids;
    std::size_t changedRows;
  };
  const Case cases[] = {
      {0, {1, 3}, true, {"11", "13"}, 2}, {1, {2}, true, {"12"}, 1},
      {0, {}, false, {}, 0},              {2, {0}, false, {}, 0},
      {2, {3}, true, {"10", "11", "12"}, 3}, {3, {}, true, {}, 5},
      {4, {2}, true, {}, 5},
  };
  for (const Case &c : cases) {
    auto plan = markPlan(rows(c.selected), c.mode);
    ASSERT_EQ(bool(plan), c.has) << "mode " << c.mode;
    if (!plan)
      continue;
    EXPECT_EQ(plan->ids, c.ids) << "mode " << c.mode;
    EXPECT_EQ(plan->rows.size(), c.changedRows) << "mode " << c.mode;
    EXPECT_EQ(plan->read, c.mode == 0 || c.mode == 2 || c.mode == 3);
    EXPECT_EQ(plan->wholeBook, c.mode >= 3);
  }
}

TEST_F(ChaptersTest, PickingAddsToTheSelection) {
  auto rows = [] {
    std::vector<ChapterMark> r;
    for (int i = 0; i < 5; ++i)
      r.push_back({QString::number(i), i % 2 == 1, i < 2 ? "V1" : "V2", i == 2});
    return r;
  };
  auto picked = [&](ChapterPick p) {
    auto r = rows();
    pickChapters(r, p);
    QString s;
    for (const auto &m : r)
      s += m.selected ? u'x' : u'.';
    return s;
  };
  EXPECT_EQ(picked(ChapterPick::All), "xxxxx");
  EXPECT_EQ(picked(ChapterPick::Invert), "xx.xx");
  EXPECT_EQ(picked(ChapterPick::Read), ".xxx.");
  EXPECT_EQ(picked(ChapterPick::Unread), "x.x.x");
  EXPECT_EQ(picked(ChapterPick::Above), "xxx..");
  EXPECT_EQ(picked(ChapterPick::Volume), "..xxx");
}

TEST_F(ChaptersTest, MarkAllReachesFilteredChaptersWhichStillDoNotCount) {
  QString s1 = chapter(b, "s1", 1, 1), s2 = chapter(b, "s2", 2, 1);
  QString f = chapter(b, "f", 3, 1, 0);
  ASSERT_TRUE(store.markAll(b, false));
  auto r = db.queryOne(QStringLiteral("select readstate from book_zhangjie where zhangjieid=?"),
                       {f.toLongLong()});
  EXPECT_EQ((*r)->integer("readstate"), 0);
  auto n = db.queryOne(QStringLiteral("select count(*) as n from book_zhangjie where bookid=? and "
                                      "readstate=0 and shifuxianshi=1"),
                       {b.toLongLong()});
  EXPECT_EQ((*n)->integer("n"), 2);
  ASSERT_TRUE(store.mark(b, {s1}, true));
  EXPECT_EQ(store.chapter(b, s1)->readstate, 1);
  EXPECT_EQ(store.chapter(b, s2)->readstate, 0);
}

TEST_F(ChaptersTest, DeleteRemovesRowTextAndPicturesAndToleratesMissingFiles) {
  ChapterFiles files(folder);
  QString a = chapter(b, "a", 1), c = chapter(b, "c", 2);
  ASSERT_TRUE(files.writeChapter(b, a, "text"));
  QDir().mkpath(files.chapterDir(b, a));
  QFile pic(files.chapterDir(b, a) + "/0.jpg");
  ASSERT_TRUE(pic.open(QIODevice::WriteOnly));
  pic.close();
  EXPECT_TRUE(store.zjdelsql(files, b, a));
  EXPECT_TRUE(store.zjdelsql(files, b, c)); // no files at all
  EXPECT_TRUE(order().isEmpty());
  EXPECT_FALSE(QFile::exists(files.chapterFile(b, a)));
  EXPECT_FALSE(QDir(files.chapterDir(b, a)).exists());
  EXPECT_TRUE(messages.said.isEmpty());

  // A row that can't be deleted keeps its text.
  QString kept = chapter(b, "kept", 3);
  ASSERT_TRUE(files.writeChapter(b, kept, "text"));
  db.connectionend();
  EXPECT_FALSE(store.zjdelsql(files, b, kept));
  EXPECT_TRUE(QFile::exists(files.chapterFile(b, kept)));
}

TEST_F(ChaptersTest, LatestListsNewestFirstAndEqualTimesByLargerKey) {
  QString other = book(t, QStringLiteral("二"), 2);
  QString old1 = chapter(b, "old", 1, 0, 1, {}, "2024-01-01 00:00:00");
  QString k2 = chapter(b, "k2", 2, 0, 1, {}, "2024-02-01 00:00:00");
  QString k3 = chapter(b, "k3", 3, 0, 1, {}, "2024-02-01 00:00:00");
  chapter(b, "hidden", 4, 0, 0, {}, "2025-01-01 00:00:00");
  QString o = chapter(other, "o", 1, 0, 1, {}, "2024-03-01 00:00:00");
  auto rows = store.latest();
  ASSERT_TRUE(rows);
  QStringList ids;
  for (const LatestRow &r : *rows)
    ids << r.chapter.id;
  EXPECT_EQ(ids, (QStringList{o, k3, k2, old1}));
  EXPECT_EQ((*rows)[0].bookName, QStringLiteral("二"));
  EXPECT_EQ((*rows)[0].bookId, other);
}

} // namespace
} // namespace inkwren::test
