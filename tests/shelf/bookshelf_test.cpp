#include "shelf_fixture.h"

#include "shelf/bookshelf.h"
#include "shelf/currentbook.h"

#include <QFile>

namespace inkwren::test {
namespace {

class BookshelfTest : public ShelfFixture {
protected:
  QStringList categoryOrder() {
    QStringList names;
    for (const auto &c : shelf.categories())
      names << c.item.name;
    return names;
  }
  QStringList bookOrder(const QString &typeId) {
    QStringList names;
    for (const auto &c : shelf.categories())
      if (c.item.id == typeId)
        for (const auto &b : c.books)
          names << b.name;
    return names;
  }
  CurrentBook current;
  Bookshelf shelf{services, current};
};

TEST_F(BookshelfTest, FirstCategoryAndBookGetKeyOneAndDuplicatesAreRefused) {
  shelf.drawbookpanel();
  auto t = shelf.newbookt_do(QStringLiteral("玄幻"));
  ASSERT_TRUE(t);
  EXPECT_EQ(paix("book_type", "typeid", *t), 1);
  auto b = shelf.newbook_do(QStringLiteral("玄幻"), QStringLiteral("书'一\""), QStringLiteral("作者"),
                            QStringLiteral("http://x/1/"));
  ASSERT_TRUE(b);
  EXPECT_EQ(paix("book_list", "bookid", *b), 1);
  EXPECT_EQ(ShelfStore(db).book(*b)->name, QStringLiteral("书'一\""));

  EXPECT_FALSE(shelf.newbookt_do(QStringLiteral("玄幻")));
  EXPECT_EQ(messages.said, QStringList{QStringLiteral("分类名称重复!")});
  EXPECT_EQ(shelf.categories().size(), 1u);

  // Renaming to its own name is no clash; to another category's name is.
  EXPECT_TRUE(shelf.editbookt_do(*t, QStringLiteral("玄幻")));
  auto t2 = shelf.newbookt_do(QStringLiteral("都市"));
  EXPECT_FALSE(shelf.editbookt_do(*t2, QStringLiteral("玄幻")));
  EXPECT_EQ(messages.said.last(), QStringLiteral("分类名称与其他分类重复!"));
  EXPECT_TRUE(shelf.editbookt_do(*t2, QStringLiteral("言情")));
  EXPECT_EQ(shelf.category(*t2)->name, QStringLiteral("言情"));
}

TEST_F(BookshelfTest, NewBookCreatesMissingCategoryLastAndSkipsDuplicatesWhenAsked) {
  category(QStringLiteral("A"), 1);
  shelf.drawbookpanel();
  QStringList started;
  bool running = false;
  shelf.setUpdateHooks([&] { return running; }, [&](const QString &id) { started << id; }, {});
  int added = 0;
  QObject::connect(&shelf, &Bookshelf::bookAdded, [&] { ++added; });

  auto b = shelf.newbook_do(QStringLiteral("新类"), QStringLiteral("书"), QStringLiteral("某"),
                            QStringLiteral("http://x/"), true);
  ASSERT_TRUE(b);
  EXPECT_EQ(categoryOrder(), (QStringList{QStringLiteral("A"), QStringLiteral("新类")}));
  EXPECT_EQ(shelf.categoryOf(*b), shelf.categories().back().item.id);
  EXPECT_EQ(started, QStringList{*b});
  EXPECT_EQ(added, 1);

  // The network bookshelf's duplicate check: same name, author and address add nothing.
  EXPECT_FALSE(shelf.newbook_do(QStringLiteral("A"), QStringLiteral("书"), QStringLiteral("某"),
                                QStringLiteral("http://x/"), true));
  // Without the check it is added; a running update is not disturbed.
  running = true;
  EXPECT_TRUE(shelf.newbook_do(QStringLiteral("A"), QStringLiteral("书"), QStringLiteral("某"),
                               QStringLiteral("http://x/")));
  EXPECT_EQ(started.size(), 1);
  EXPECT_TRUE(messages.said.isEmpty());
}

TEST_F(BookshelfTest, ACategoryNameDifferingOnlyInCaseIsTheSameCategory) {
  QString t = category(QStringLiteral("Wuxia"), 1);
  shelf.drawbookpanel();
  auto b = shelf.newbook_do(QStringLiteral("WUXIA"), QStringLiteral("书"), {}, QStringLiteral("u"));
  ASSERT_TRUE(b);
  EXPECT_EQ(shelf.categoryOf(*b), t);
  EXPECT_EQ(shelf.categories().size(), 1u);
  EXPECT_TRUE(messages.said.isEmpty());
}

TEST_F(BookshelfTest, UnreadCountsIgnoreFilteredChapters) {
  QString t = category(QStringLiteral("A"), 1);
  QString b = book(t, QStringLiteral("书"), 1);
  for (int i = 0; i < 3; ++i)
    chapter(b, QStringLiteral("c%1").arg(i), i + 1);
  chapter(b, QStringLiteral("f1"), 4, 0, 0);
  chapter(b, QStringLiteral("f2"), 5, 0, 0);
  chapter(b, QStringLiteral("r"), 6, 1);
  db.exec(QStringLiteral("insert into book_zhangjie (bookid,zhangjiename,paix,readstate) values "
                         "(?, 'null-read', 7, NULL)"),
          {b.toLongLong()});
  shelf.drawbookpanel();
  ASSERT_TRUE(shelf.getbn(b));
  EXPECT_EQ(shelf.getbn(b)->noreadcount, 4); // NULL read state counts as unread
  EXPECT_EQ(bookLabel(*shelf.getbn(b)), QStringLiteral("书(4)"));

  db.exec(QStringLiteral("update book_zhangjie set readstate=1 where shifuxianshi=1"));
  shelf.redrawbookx(b);
  EXPECT_EQ(shelf.getbn(b)->noreadcount, 0);
  EXPECT_EQ(bookLabel(*shelf.getbn(b)), QStringLiteral("书"));
}

TEST_F(BookshelfTest, CategoryMovesPlaceTheDraggedOneBeforeTheTarget) {
  struct Case {
    const char *dragged, *target;
    QStringList order;
    std::vector<int> keys; // A, B, C
  };
  const Case cases[] = {
      {"A", "C", {"B", "A", "C"}, {2, 1, 3}},
      {"C", "A", {"C", "A", "B"}, {2, 3, 1}},
      {"B", "A", {"B", "A", "C"}, {2, 1, 3}},
  };
  for (const Case &c : cases) {
    db.exec(QStringLiteral("delete from book_type"));
    std::map<QString, QString> id;
    for (int i = 0; i < 3; ++i) {
      QString n(QChar(u'A' + i));
      id[n] = category(n, i + 1);
    }
    shelf.drawbookpanel();
    ASSERT_TRUE(shelf.canDrop({ShelfNode::Category, id[c.dragged]}, {ShelfNode::Category, id[c.target]}));
    ASSERT_TRUE(shelf.booktreemove({ShelfNode::Category, id[c.dragged]},
                                   {ShelfNode::Category, id[c.target]}));
    EXPECT_EQ(categoryOrder(), c.order) << c.dragged << " onto " << c.target;
    EXPECT_EQ(paix("book_type", "typeid", id["A"]), c.keys[0]);
    EXPECT_EQ(paix("book_type", "typeid", id["B"]), c.keys[1]);
    EXPECT_EQ(paix("book_type", "typeid", id["C"]), c.keys[2]);
    // The library and the model agree after a fresh draw.
    shelf.drawbookpanel();
    EXPECT_EQ(categoryOrder(), c.order);
  }
}

TEST_F(BookshelfTest, BookMovesAcrossCategoriesAndToTheEndOfACategory) {
  QString t1 = category(QStringLiteral("T1"), 1), t2 = category(QStringLiteral("T2"), 2);
  QString a = book(t1, QStringLiteral("a"), 1), b = book(t1, QStringLiteral("b"), 2);
  QString x = book(t2, QStringLiteral("x"), 3), y = book(t2, QStringLiteral("y"), 4);
  chapter(a, QStringLiteral("c"), 1);
  shelf.drawbookpanel();

  // Book on a book of another category: into that category, just before the target.
  ASSERT_TRUE(shelf.booktreemove({ShelfNode::Book, a}, {ShelfNode::Book, y}));
  EXPECT_EQ(bookOrder(t1), QStringList{QStringLiteral("b")});
  EXPECT_EQ(bookOrder(t2), (QStringList{"x", "a", "y"}));
  EXPECT_EQ(paix("book_list", "bookid", a), 3);
  EXPECT_EQ(paix("book_list", "bookid", x), 2);
  EXPECT_EQ(shelf.getbn(a)->noreadcount, 1);

  // Book on a category: last there, with a fresh key.
  ASSERT_TRUE(shelf.booktreemove({ShelfNode::Book, x}, {ShelfNode::Category, t1}));
  EXPECT_EQ(bookOrder(t1), (QStringList{"b", "x"}));
  EXPECT_EQ(paix("book_list", "bookid", x), 5);

  shelf.drawbookpanel();
  EXPECT_EQ(bookOrder(t1), (QStringList{"b", "x"}));
  EXPECT_EQ(bookOrder(t2), (QStringList{"a", "y"}));
}

TEST_F(BookshelfTest, DropTargetsFollowTheTreeLevels) {
  QString t1 = category(QStringLiteral("T1"), 1), t2 = category(QStringLiteral("T2"), 2);
  QString a = book(t1, QStringLiteral("a"), 1), b = book(t2, QStringLiteral("b"), 2);
  shelf.drawbookpanel();
  using K = ShelfNode;
  struct Case {
    ShelfNode dragged, target;
    bool ok;
  };
  const Case cases[] = {
      {{K::Category, t1}, {K::Category, t2}, true},  {{K::Category, t1}, {K::Book, b}, false},
      {{K::Category, t1}, {K::Category, t1}, false}, {{K::Book, a}, {K::Book, b}, true},
      {{K::Book, a}, {K::Category, t2}, true},       {{K::Book, a}, {K::Category, t1}, false},
      {{K::Book, a}, {K::Book, a}, false},           {{K::Book, a}, {K::Root, {}}, false},
  };
  for (const Case &c : cases)
    EXPECT_EQ(shelf.canDrop(c.dragged, c.target), c.ok) << c.dragged.id.toStdString() << "->"
                                                         << c.target.id.toStdString();
}

TEST_F(BookshelfTest, DeletingACategoryStopsUpdatesAndRemovesBooksChaptersAndFolders) {
  QString t = category(QStringLiteral("T"), 1), keep = category(QStringLiteral("K"), 2);
  QString a = book(t, QStringLiteral("a"), 1), b = book(t, QStringLiteral("b"), 2);
  QString k = book(keep, QStringLiteral("k"), 3);
  chapter(a, QStringLiteral("c1"), 1);
  chapter(b, QStringLiteral("c2"), 1);
  for (const QString &id : {a, b, k})
    QDir().mkpath(folder.path(QStringLiteral("book/%1/9").arg(id)));
  shelf.drawbookpanel();
  QStringList stopped;
  shelf.setUpdateHooks([] { return true; }, {}, [&](const QString &id) { stopped << id; });
  shelf.setUpdating(b, true);
  current.set(a, QStringLiteral("a"));
  int closed = 0;
  QObject::connect(&current, &CurrentBook::closed, [&] { ++closed; });

  ASSERT_TRUE(shelf.delebookt(t));
  EXPECT_EQ(stopped, QStringList{b});
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(current.isOpen());
  EXPECT_EQ(categoryOrder(), QStringList{QStringLiteral("K")});
  EXPECT_EQ((*db.queryOne(QStringLiteral("select count(*) as n from book_zhangjie")))->integer("n"), 0);
  EXPECT_EQ((*db.queryOne(QStringLiteral("select count(*) as n from book_list")))->integer("n"), 1);
  EXPECT_FALSE(QDir(folder.path("book/" + a)).exists());
  EXPECT_FALSE(QDir(folder.path("book/" + b)).exists());
  EXPECT_TRUE(QDir(folder.path("book/" + k)).exists());
  EXPECT_TRUE(messages.asked.isEmpty()); // forced deletes ask nothing
}

TEST_F(BookshelfTest, DeletingABookAsksAndSaysWhenThereIsNone) {
  QString t = category(QStringLiteral("T"), 1);
  QString a = book(t, QStringLiteral("a"), 1);
  shelf.drawbookpanel();
  EXPECT_FALSE(shelf.delebook(QString(), false));
  EXPECT_EQ(messages.said, QStringList{QStringLiteral("当前没有选中小说!")});
  messages.answers = {false};
  EXPECT_FALSE(shelf.delebook(a, false));
  EXPECT_TRUE(shelf.getbn(a));
  EXPECT_TRUE(shelf.delebook(a, false));
  EXPECT_EQ(messages.asked, (QStringList{QStringLiteral("确认要删除当前小说？"),
                                         QStringLiteral("确认要删除当前小说？")}));
  EXPECT_FALSE(shelf.getbn(a));
}

TEST_F(BookshelfTest, ABookWhoseRowsCannotBeDeletedLeavesTheTreeButKeepsItsFiles) {
  QString t = category(QStringLiteral("T"), 1);
  QString a = book(t, QStringLiteral("a"), 1);
  QDir().mkpath(folder.path("book/" + a));
  shelf.drawbookpanel();
  db.connectionend();
  EXPECT_FALSE(shelf.delebook(a, true));
  EXPECT_FALSE(shelf.getbn(a));
  EXPECT_TRUE(QDir(folder.path("book/" + a)).exists());
}

TEST_F(BookshelfTest, EditBookStoresFieldsAndMovesItToItsNewCategory) {
  QString t = category(QStringLiteral("T"), 1);
  QString a = book(t, QStringLiteral("a"), 1);
  shelf.drawbookpanel();
  ASSERT_TRUE(shelf.editbook_do(a, QStringLiteral("新名"), QStringLiteral("新作者"), 1,
                                QStringLiteral("http://n/"), QStringLiteral("另类")));
  auto stored = ShelfStore(db).book(a);
  EXPECT_EQ(stored->name, QStringLiteral("新名"));
  EXPECT_EQ(stored->downtype, 1);
  EXPECT_EQ(shelf.getbn(a)->muluurl, QStringLiteral("http://n/"));
  EXPECT_EQ(shelf.category(shelf.categoryOf(a))->name, QStringLiteral("另类"));
  shelf.drawbookpanel();
  EXPECT_EQ(shelf.category(shelf.categoryOf(a))->name, QStringLiteral("另类"));
}

TEST_F(BookshelfTest, ClosedLibraryLeavesAnEmptyShelfAndChangesNothing) {
  category(QStringLiteral("T"), 1);
  db.connectionend();
  shelf.drawbookpanel();
  EXPECT_TRUE(shelf.categories().empty());
  EXPECT_FALSE(shelf.newbookt_do(QStringLiteral("X")));
  EXPECT_FALSE(shelf.newbook_do(QStringLiteral("X"), "b", "a", "u"));
  EXPECT_TRUE(messages.said.isEmpty());
}

} // namespace
} // namespace inkwren::test
