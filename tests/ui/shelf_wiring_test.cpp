// The bookshelf inside a real main window.
#include "core/database.h"
#include "core/datafolder.h"
#include "core/settings.h"
#include "data_fixture.h"
#include "shelf/ui/booktree.h"
#include "shelf/ui/chapterlist.h"
#include "shelf/ui/latestlist.h"
#include "shelf/ui/shelfwiring.h"
#include "shell/ui/mainform.h"

#include <QAction>
#include <QDir>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace inkwren;
using namespace inkwren::test;

namespace {

struct ShelfInWindow : DataFixture {
  std::unique_ptr<Tmainform> main;
  std::unique_ptr<ShelfWiring> shelf;

  void SetUp() override {
    DataFixture::SetUp();
    openLibrary();
    // The shelf alone: a new book does not start an update here.
    app.updates.setUpdateNewBooks(false);
    main = std::make_unique<Tmainform>(services, makeFakeHtmlView);
    shelf = std::make_unique<ShelfWiring>(services, *main, shelfModel(), updateRunning());
  }
};

TEST_F(ShelfInWindow, ViewsAndCommandsAreTheShelfs) {
  EXPECT_EQ(main->booktree, &shelf->tree());
  EXPECT_EQ(main->mululv, &shelf->chapterList());
  EXPECT_EQ(main->newdlv, &shelf->latestList());
  for (QAction *a : {main->N6, main->N7, main->N9, main->N10, main->N12, main->N88,
                     main->RzToolButton13, main->RzToolButton17})
    EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();

  // "删除分类" with nothing chosen says so.
  shelf->bookshelf().drawbookpanel();
  main->N12->trigger();
  EXPECT_EQ(messages.shown.last(), QStringLiteral("当前未选中小说分类!"));
}

TEST_F(ShelfInWindow, OpeningABookAndDeletingItWhileOpen) {
  auto id = shelf->bookshelf().newbook_do(QStringLiteral("T"), QStringLiteral("书"), {},
                                          QStringLiteral("http://x/"));
  ASSERT_TRUE(id);
  for (int k = 1; k <= 2; ++k)
    db.exec(QStringLiteral("insert into book_zhangjie (bookid,zhangjiename,paix) values (?,?,?)"),
            {id->toLongLong(), QStringLiteral("c%1").arg(k), k});
  shelf->bookshelf().redrawbookx(*id);
  shelf->tree().setCurrentItem(shelf->tree().getbn(*id));
  main->N19->trigger();
  ASSERT_EQ(main->pagestate, 4);
  EXPECT_EQ(shelf->currentBook().id(), *id);
  EXPECT_EQ(shelf->currentBook().name(), QStringLiteral("书")); // without the count
  EXPECT_EQ(main->topbp4->text(), QStringLiteral("书"));
  EXPECT_FALSE(main->topbp4->isHidden());
  ASSERT_EQ(shelf->chapterList().topLevelItemCount(), 2);
  EXPECT_EQ(shelf->chapterList().selectedRow(), shelf->chapterList().topLevelItem(0));

  ASSERT_TRUE(shelf->bookshelf().delebook(*id, true));
  EXPECT_EQ(main->pagestate, 1);
  EXPECT_TRUE(main->topbp4->isHidden());
  EXPECT_FALSE(shelf->currentBook().isOpen());
}

TEST_F(ShelfInWindow, LatestUpdatesAreDrawnWhenTheirPageIsFirstShown) {
  auto id = shelf->bookshelf().newbook_do(QStringLiteral("T"), QStringLiteral("书"), {},
                                          QStringLiteral("http://x/"));
  ASSERT_TRUE(id);
  db.exec(QStringLiteral("insert into book_zhangjie (bookid,zhangjiename,paix) values (?,'c',1)"),
          {id->toLongLong()});
  EXPECT_EQ(shelf->latestList().topLevelItemCount(), 0);
  main->topbp3Click();
  EXPECT_EQ(shelf->latestList().topLevelItemCount(), 1);
}

} // namespace
