#include "core/database.h"
#include "core/datafolder.h"
#include "core/settings.h"
#include "core/ui/messagewindows.h"
#include "core/ui/startup.h"
#include "data_fixture.h"
#include "shelf/ui/shelfwiring.h"
#include "shell/ui/mainform.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace inkwren;
using namespace inkwren::test;

namespace {

// A main window on a temporary data folder with fake messages and a fake HTML view.
struct Window : DataFixture {
  std::unique_ptr<Tmainform> main;

  void SetUp() override {
    DataFixture::SetUp();
    main = std::make_unique<Tmainform>(services, makeFakeHtmlView);
  }
  FakeHtmlView *view() { return static_cast<FakeHtmlView *>(main->webem); }
  QString fileText() {
    QFile f(settings.path());
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
  }
};

} // namespace

TEST(PageMasks, TagsShowOnTheirPages) {
  struct Case {
    int tag;
    bool shelf, rankings, updates, reading;
  } cases[] = {
      {11111, true, true, true, true},    {11000, true, false, false, false},
      {11001, true, false, false, true},  {10111, false, true, true, true},
      {10011, false, false, true, true},  {10010, false, false, true, false},
      {10001, false, false, false, true},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(visibleOnPage(c.tag, pageMask(ShelfPage)), c.shelf) << c.tag;
    EXPECT_EQ(visibleOnPage(c.tag, pageMask(RankingsPage)), c.rankings) << c.tag;
    EXPECT_EQ(visibleOnPage(c.tag, pageMask(UpdatesPage)), c.updates) << c.tag;
    EXPECT_EQ(visibleOnPage(c.tag, pageMask(ReadingPage)), c.reading) << c.tag;
  }
}

TEST_F(Window, PagesShowTheirButtonsAndViews) {
  main->topbp1Click();
  EXPECT_EQ(main->pagestate, ShelfPage);
  EXPECT_EQ(main->leftviews->currentWidget(), main->booktree);
  EXPECT_TRUE(main->downallb->isVisible());
  EXPECT_FALSE(main->vnextb->isVisible());

  main->topbp3Click();
  EXPECT_EQ(main->leftviews->currentWidget(), main->newdlv);
  EXPECT_TRUE(main->vnextb->isVisible());
  EXPECT_TRUE(main->RzToolButton9->isVisible());
  EXPECT_FALSE(main->downallb->isVisible());
  EXPECT_TRUE(main->RzToolButton4->isVisible());

  main->topbp2Click();
  EXPECT_EQ(main->leftviews->currentWidget(), main->toptree);
  EXPECT_TRUE(main->refreb->isVisible());
  EXPECT_FALSE(main->vnextb->isVisible());

  main->topbp4Click();
  EXPECT_EQ(main->leftviews->currentWidget(), main->mululv);
  EXPECT_TRUE(main->downb->isVisible());
  EXPECT_FALSE(main->RzToolButton9->isVisible());
}

TEST_F(Window, ChoosingTheCurrentPageAgainDoesNothing) {
  int changes = 0;
  main->onPageChanged([&](int page) {
    if (page == UpdatesPage)
      ++changes;
  });
  main->topbp3Click();
  main->topbp3Click();
  EXPECT_EQ(changes, 1);
}

TEST_F(Window, EveryToolbarButtonCarriesItsTag) {
  const auto &buttons = main->toolbarButtons();
  ASSERT_EQ(buttons.front().action, main->RzToolButton1);
  ASSERT_EQ(buttons.back().action, main->RzToolButton4);
  for (const auto &b : buttons) {
    EXPECT_GE(b.tag, 10000);
    EXPECT_LE(b.tag, 11111);
  }
  // Unbuilt commands are visibly disabled, never silently dead.
  EXPECT_FALSE(main->N31->isEnabled());
  EXPECT_TRUE(main->N44->isEnabled());
  EXPECT_TRUE(main->N28->isEnabled());
}

TEST_F(Window, MaximiseAndRestoreUseTheStoredSize) {
  settings.setLive(true);
  settings.setValue(Settings::width, QStringLiteral("900"));
  settings.setValue(Settings::height, QStringLiteral("600"));
  main->show();
  QRect area = main->screen()->availableGeometry();
  main->maxbClick();
  EXPECT_TRUE(main->maximized());
  EXPECT_EQ(main->geometry(), area);
  EXPECT_EQ(main->maxb->toolTip(), QStringLiteral("还原"));
  EXPECT_TRUE(fileText().contains(QLatin1String("fullscreen=1")));
  main->maxbClick();
  EXPECT_FALSE(main->maximized());
  EXPECT_EQ(main->size(), QSize(900, 600));
  EXPECT_EQ(main->geometry().center().x(), area.center().x());
  EXPECT_TRUE(fileText().contains(QLatin1String("fullscreen=0")));
  // A stored size that is not a number leaves the window as it was.
  main->maxbClick();
  settings.setValue(Settings::width, QStringLiteral("wide"));
  main->maxbClick();
  EXPECT_EQ(main->geometry(), area);
  EXPECT_FALSE(main->maximized());
}

TEST_F(Window, ApplyingSettingsWritesNothingBack) {
  settings.setValue(Settings::fullscreen, QStringLiteral("0"));
  settings.setValue(Settings::width, QStringLiteral("99999"));
  settings.setValue(Settings::height, QStringLiteral("700"));
  main->useset();
  QSize screen = main->screen()->availableGeometry().size();
  EXPECT_EQ(main->width(), screen.width());
  EXPECT_EQ(main->height(), std::min(700, screen.height()));
  EXPECT_FALSE(QFile::exists(settings.path()));
  EXPECT_TRUE(settings.live());
}

TEST_F(Window, StartupWithoutALibraryTellsTheUserWhereAndWhy) {
  ShelfWiring shelf(services, *main, shelfModel(), updateRunning());
  bool updated = false;
  Startup::Steps steps;
  steps.drawbookpanel = [&] { shelf.bookshelf().drawbookpanel(); };
  steps.libraryFailed = [&](const QString &why) { shelf.libraryUnavailable(why); };
  steps.updateAll = [&] { updated = true; };
  Startup startup(services, *main, steps);
  startup.FormCreate();
  EXPECT_EQ(main->pagestate, ShelfPage);
  EXPECT_FALSE(main->downsb->isVisible());
  EXPECT_EQ(startup.txtadvtime->interval(), 100);
  startup.txtadvtimeTimer();
  // The message's first line is the known one; the second names the file and the reason.
  ASSERT_EQ(messages.shown.size(), 1);
  const QStringList lines = messages.shown[0].split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 2);
  EXPECT_EQ(lines[0], QStringLiteral("连接数据库失败!"));
  EXPECT_TRUE(
      lines[1].startsWith(folder.path(QStringLiteral("db/book.dat")) + QStringLiteral(": ")));
  EXPECT_TRUE(lines[1].endsWith(QStringLiteral("文件不存在")));
  // The shelf holds its root with a note that says why, and no command pretends to work.
  ASSERT_EQ(main->booktree->topLevelItemCount(), 1);
  QTreeWidgetItem *root = main->booktree->topLevelItem(0);
  EXPECT_EQ(root->text(0), QStringLiteral("我的书架"));
  ASSERT_EQ(root->childCount(), 1);
  EXPECT_TRUE(root->child(0)->text(0).startsWith(QStringLiteral("书库无法打开")));
  for (QAction *a : {main->N4, main->N9, main->N14, main->N16, main->N19, main->downallb})
    EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
  EXPECT_FALSE(updated); // autodbook is "0"
  EXPECT_EQ(startup.txtadvtime->interval(), 60000);
  startup.txtadvtimeTimer(); // later ticks never run the deferred stage again
  EXPECT_EQ(messages.shown.size(), 1);
  // The first start stores only the full-screen state.
  EXPECT_EQ(fileText(), QStringLiteral("[mainset]\r\nfullscreen=1\r\n"));
}

TEST_F(Window, StartupOpensAnExistingLibraryAndUpdatesWhenAsked) {
  ASSERT_TRUE(Database::createLibrary(folder.path(QStringLiteral("db/book.dat")), nullptr));
  QFile ini(settings.path());
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write("[mainset]\r\nautodbook=1\r\nfullscreen=0\r\n");
  ini.close();
  QStringList order;
  Startup::Steps steps;
  steps.updateAll = [&] { order << QStringLiteral("update"); };
  steps.upset = [&] { order << QStringLiteral("upset"); };
  Startup startup(services, *main, steps);
  startup.FormCreate();
  EXPECT_FALSE(main->maximized());
  startup.txtadvtimeTimer();
  EXPECT_TRUE(messages.shown.isEmpty());
  EXPECT_TRUE(db.isOpen());
  EXPECT_EQ(order, (QStringList{QStringLiteral("update"), QStringLiteral("upset")}));
}

TEST(MessageWindows, WidthsFollowTheTextLength) {
  Ttsform ts;
  ts.prepare(QString(20, QChar(0x4E2D))); // 20 Chinese characters, 40 bytes
  EXPECT_EQ(ts.width(), 335);
  EXPECT_EQ(ts.RzBitBtn1->x(), (335 - 75) / 2);
  ts.prepare(QStringLiteral("四个字符"));
  EXPECT_EQ(ts.width(), 180);
  Tqrform qr;
  qr.prepare(QString(20, QChar(0x4E2D)));
  EXPECT_EQ(qr.width(), 340);
  EXPECT_EQ(qr.RzBitBtn2->x() - qr.RzBitBtn1->x(), 88);
  qr.prepare(QStringLiteral("删除?"));
  EXPECT_EQ(qr.width(), 260);
}

TEST(MessageWindows, ConfirmationAnswersOnlyForConfirm) {
  DialogMessages messages;
  QTimer::singleShot(0, [&] { messages.confirmationWindow()->RzBitBtn1->click(); });
  EXPECT_TRUE(messages.qrxx(QStringLiteral("确定吗?")));
  QTimer::singleShot(0, [&] { messages.confirmationWindow()->RzBitBtn2->click(); });
  EXPECT_FALSE(messages.qrxx(QStringLiteral("确定吗?")));
  QTimer::singleShot(0, [&] { messages.confirmationWindow()->close(); });
  EXPECT_FALSE(messages.qrxx(QStringLiteral("确定吗?")));
  QTimer::singleShot(0, [&] { messages.messageWindow()->RzBitBtn1->click(); });
  messages.tsxx(QStringLiteral("完成"));
  EXPECT_EQ(messages.messageWindow()->tsxx->text(), QStringLiteral("完成"));
}
