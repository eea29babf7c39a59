// The update commands in a real main window (offscreen) against a novel site on 127.0.0.1.
#include "core/codec.h"
#include "core/database.h"
#include "core/datafolder.h"
#include "core/settings.h"
#include "data_fixture.h"
#include "rules/rulefile.h"
#include "rules/ruleset.h"
#include "rules/ui/updatecontroller.h"
#include "rules/update/updateservice.h"
#include "shelf/ui/booktree.h"
#include "shelf/ui/shelfwiring.h"
#include "shell/ui/mainform.h"
#include "shell/ui/programwindow.h"
#include "support/loopback_server.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace inkwren;
using namespace inkwren::test;

namespace {

struct UpdateWindow : DataFixture {
  RuleSet &rules = app.rules;
  UpdateService &service = app.updates;
  LoopbackServer site;
  std::unique_ptr<ProgramWindow> window;
  Tmainform *main = nullptr;
  ShelfWiring *shelf = nullptr;
  UpdateController *updates = nullptr;
  int chapterDelayMs = 0;

  void SetUp() override {
    DataFixture::SetUp();
    openLibrary();
    QByteArray rec = "<dw><wk>" + RuleSet::geturlkey(site.url("/")) +
                     "</wk><s0></s0><s1></s1>"
                     "<s2><a href=\"(.*?)\">(.*?)</a></s2><s3>$2</s3><s4>[webpath]$1</s4><s5></s5>"
                     "<s6></s6><s7>{{1}}<p>{{t}}</p></s7><s8></s8><s9></s9><s10></s10></dw>";
    ASSERT_TRUE(codec::writeFileAtomic(rules.ruleFilePath(), RuleFile::build({"", rec})));
    rules.loadRules();
    site.setFallback([this](const HttpRequest &r) {
      if (r.path.endsWith("/"))
        return HttpResponse::text("<a href=\"1.html\">one</a><a href=\"2.html\">two</a>");
      return HttpResponse::text("<p>text of " + r.path + "</p>").delayed(chapterDelayMs);
    });
    window = std::make_unique<ProgramWindow>(app, makeFakeHtmlView);
    main = &window->main();
    shelf = &window->shelf();
    updates = &window->updates();
  }
  void TearDown() override { service.stopAll(); }

  QString addBook(const QString &name, int downtype = 0) {
    db.exec(QStringLiteral("insert into book_type (typename,paix) select '小说',1 where not exists "
                           "(select 1 from book_type)"));
    db.exec(
        QStringLiteral("insert into book_list (typeid,bookname,authorname,muluurl,downtype,paix) "
                       "values ((select min(typeid) from book_type),?,'',?,?,?)"),
        {name, QString::fromLatin1(site.url("/" + name.toLatin1() + "/")), downtype,
         int(db.lastInsertId()) + 1});
    return QString::number(db.lastInsertId());
  }
  int chaptersWithText(const QString &bookId) {
    auto r = db.queryOne(
        QStringLiteral("select count(*) as n from book_zhangjie where bookid=? and zishutongji>0"),
        {bookId.toLongLong()});
    return int((*r)->integer(QStringLiteral("n")));
  }
  bool waitUntil(const std::function<bool()> &done, int ms = 10000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
      QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
  }
};

} // namespace

TEST_F(UpdateWindow, UpdateAllGoesThroughTheShelfSkippingBooksNotUpdated) {
  QString a = addBook(QStringLiteral("a")), b = addBook(QStringLiteral("b"), 1),
          c = addBook(QStringLiteral("c"));
  shelf->bookshelf().drawbookpanel();
  updates->N16Click();
  EXPECT_TRUE(service.updatingAll());
  ASSERT_TRUE(waitUntil([&] { return !service.updatingAll(); }));
  EXPECT_EQ(chaptersWithText(a), 2);
  EXPECT_EQ(chaptersWithText(b), 0);
  EXPECT_EQ(chaptersWithText(c), 2);
  EXPECT_EQ(site.requestCount("/b/"), 0);
  EXPECT_TRUE(main->downsb->isHidden());
  EXPECT_EQ(main->downsbPanel1->text(), QStringLiteral("更新停止"));
  EXPECT_EQ(main->downallb->text(), QStringLiteral("更新全部"));
  // The tree's counts were redrawn: two unread chapters on each updated book.
  EXPECT_EQ(shelf->bookshelf().getbn(a)->noreadcount, 2);
}

TEST_F(UpdateWindow, CommandsRefuseOrStopWhileAnUpdateRuns) {
  chapterDelayMs = 400;
  QString a = addBook(QStringLiteral("a"));
  shelf->bookshelf().drawbookpanel();
  updates->N14Click();
  EXPECT_EQ(messages.shown, QStringList{QStringLiteral("当前没有选中小说!")});
  shelf->tree().setCurrentItem(shelf->tree().getbn(a));
  updates->N14Click();
  ASSERT_TRUE(service.running());
  EXPECT_EQ(main->downsbPanel0->text(), QStringLiteral("更新小说 a"));
  EXPECT_EQ(main->downb->text(), QStringLiteral("停止更新"));
  updates->N16Click();
  updates->N14Click();
  EXPECT_EQ(messages.shown.mid(1),
            (QStringList{QStringLiteral("当前有小说正在更新，不可以同时更新多本小说!"),
                         QStringLiteral("当前有小说正在更新，不可以同时更新多本小说!")}));
  ASSERT_TRUE(waitUntil(
      [&] { return main->downsbPanel1->text().startsWith(QStringLiteral("更新章节 ")); }));
  // "更新" while running stops: the screen is idle at once and no chapter is half-stored.
  updates->downbClick();
  EXPECT_TRUE(main->downsb->isHidden());
  EXPECT_EQ(main->downsbPanel1->text(), QStringLiteral("更新停止"));
  EXPECT_EQ(main->downb->text(), QStringLiteral("更新"));
  ASSERT_TRUE(waitUntil([&] { return service.downthread() == nullptr; }));
  EXPECT_LT(chaptersWithText(a), 2);
}

TEST_F(UpdateWindow, AddingABookStartsItsUpdateAndDeletingItStopsIt) {
  chapterDelayMs = 400;
  auto id = shelf->bookshelf().newbook_do(QStringLiteral("小说"), QStringLiteral("n"), QString(),
                                          QString::fromLatin1(site.url("/n/")));
  ASSERT_TRUE(id);
  EXPECT_TRUE(service.running());
  messages.answers = {true};
  EXPECT_TRUE(shelf->bookshelf().delebook(*id, false));
  EXPECT_FALSE(service.running());
  ASSERT_TRUE(waitUntil([&] { return service.downthread() == nullptr; }));
  auto left = db.queryOne(QStringLiteral("select count(*) as n from book_zhangjie where bookid=?"),
                          {id->toLongLong()});
  EXPECT_EQ((*left)->integer(QStringLiteral("n")), 0);
}
