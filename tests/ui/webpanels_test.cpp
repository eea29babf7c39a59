// The service's content in the main window: the rankings page and tree, command links that add
// a novel, the advertisement line and the help menu's pages.
#include "core/codec.h"
#include "core/ui/htmlview.h"
#include "core/ui/startup.h"
#include "fakes.h"
#include "search/ui/searchwiring.h"
#include "search/ui/tsbform.h"
#include "service/ui/webpanels.h"
#include "shelf/ui/platform.h"
#include "shell/appcontext.h"
#include "shell/ui/mainform.h"
#include "shell/ui/programwindow.h"
#include "support/loopback_server.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace inkwren;
using namespace inkwren::test;

namespace {

struct Panels : ::testing::Test {
  QTemporaryDir dir;
  FakeMessages messages;
  LoopbackServer service;
  QString root = QString::fromLatin1(service.url("/"));
  AppContext app{dir.path(), messages, root};
  RecordedUrls urls;
  std::unique_ptr<ProgramWindow> window;

  void SetUp() override {
    for (const char *sub : {"config", "db", "book"})
      QDir(dir.path()).mkpath(QLatin1String(sub));
    window = std::make_unique<ProgramWindow>(app, makeFakeHtmlView, &urls);
    window->search().showModal = [](QDialog &d) { d.show(); };
  }
  void TearDown() override { window->search().sbform().reject(); }
  Tmainform &main() { return window->main(); }
  FakeHtmlView &view() { return static_cast<FakeHtmlView &>(main().htmlView()); }
  QTreeWidget &tree() { return *window->panels().toptree(); }
};

TEST_F(Panels, RankingsTreeHasThreeLevelsAndShowsEachNodesPage) {
  // Two lists of three links, one record split over lines, one link an absolute address.
  service.route("/inkwren/iw_bookweb.php",
                HttpResponse::text(codec::encode(QStringLiteral(
                    "<html><div class=\"webdiv\">月票榜</div><div class=\"topdiv\">"
                    "<a href=\"b1.php\">甲</a><a href=\"b2.php\">乙</a>\r\n"
                    "<a href=\"http://other.example/b3\">丙</a></div>\r\n"
                    "<div class=\"webdiv\">新书榜</div>\r\n<div class=\"topdiv\">"
                    "<a href=\"n1.php\">丁</a><a href=\"n2.php\">戊</a><a href=\"n3.php\">己</a>"
                    "</div></html>"))));
  main().topbp2Click();
  EXPECT_EQ(view().loads, QStringList{root + QStringLiteral("inkwren/iw_bookweb.php")});
  ASSERT_EQ(tree().topLevelItemCount(), 1);
  QTreeWidgetItem *top = tree().topLevelItem(0);
  EXPECT_EQ(top->text(0), QStringLiteral("小说榜单"));
  EXPECT_TRUE(top->isExpanded());
  ASSERT_EQ(top->childCount(), 2);
  EXPECT_EQ(top->child(0)->text(0), QStringLiteral("月票榜"));
  EXPECT_EQ(top->child(1)->text(0), QStringLiteral("新书榜"));
  ASSERT_EQ(top->child(0)->childCount(), 3);
  ASSERT_EQ(top->child(1)->childCount(), 3);
  QTreeWidgetItem *absolute = top->child(0)->child(2);
  EXPECT_EQ(absolute->text(0), QStringLiteral("丙"));

  view().loads.clear();
  tree().setCurrentItem(absolute);
  tree().setCurrentItem(top->child(1));
  tree().setCurrentItem(top);
  tree().setCurrentItem(top->child(1)->child(0));
  EXPECT_EQ(view().loads,
            (QStringList{root + QStringLiteral("inkwren/http//other.example/b3"),
                         root + QStringLiteral("inkwren/iw_bookweb.php"),
                         root + QStringLiteral("inkwren/iw_bookweb.php"),
                         root + QStringLiteral("inkwren/n1.php")}));

  // The tree is kept when the tab is chosen again, and rebuilt by "刷新" on this tab only.
  service.route("/inkwren/iw_bookweb.php", HttpResponse::error(500));
  main().topbp1Click();
  main().topbp2Click();
  EXPECT_EQ(tree().topLevelItem(0)->childCount(), 2);
  main().command(QStringLiteral("refreb"))->trigger();
  ASSERT_EQ(tree().topLevelItemCount(), 1);
  EXPECT_EQ(tree().topLevelItem(0)->childCount(), 0); // no service: the root alone
}

TEST_F(Panels, CommandLinkAddsANovelByNameAndOthersAreIgnored) {
  Tsbform &sb = window->search().sbform();
  Q_EMIT view().commandLink(QStringLiteral("about:blank[act/other][bookname/星海]"));
  EXPECT_FALSE(sb.isVisible());
  Q_EMIT view().commandLink(
      QStringLiteral("about:blank?x=1[bookname/星海%20归途][act/addbook][yange/1]"));
  ASSERT_TRUE(sb.isVisible());
  EXPECT_EQ(sb.bookn->text(), QStringLiteral("星海 归途"));
  EXPECT_TRUE(sb.authorn->text().isEmpty());
  EXPECT_TRUE(sb.bookm->text().isEmpty());
  EXPECT_TRUE(sb.zhunqs->isChecked());
}

TEST_F(Panels, AdvertisementsRotateAndOpenTheirAddress) {
  Startup &startup = window->startup();
  startup.txtadvtime->setInterval(60000); // past the deferred start-up
  startup.txtadvtimeTimer();
  EXPECT_EQ(startup.txtadvtime->interval(), 600000); // nothing known yet: ask again later
  EXPECT_TRUE(main().txtadvlab->text().isEmpty());
  QTest::mouseClick(main().txtadvlab, Qt::LeftButton);
  EXPECT_TRUE(urls.opened.isEmpty());

  service.route("/iw_txtadv.php",
                HttpResponse::text(codec::encode(QStringLiteral(
                    "<adv><advtxt>广告甲</advtxt><advurl>http://a.example/</advurl></adv>\r\n"
                    "<adv><advtxt>广告乙</advtxt>\r\n<advurl>http://b.example/</advurl></adv>"))));
  QStringList shown;
  for (int i = 0; i < 3; ++i) {
    startup.txtadvtimeTimer();
    shown << main().txtadvlab->text();
    EXPECT_EQ(startup.txtadvtime->interval(), 60000);
  }
  EXPECT_EQ(shown, (QStringList{QStringLiteral("广告甲"), QStringLiteral("广告乙"),
                                QStringLiteral("广告甲")}));
  QTest::mouseClick(main().txtadvlab, Qt::LeftButton);
  EXPECT_EQ(urls.opened, QStringList{QStringLiteral("http://a.example/")});
  // The list was fetched once.
  int fetches = 0;
  for (const HttpRequest &r : service.requests())
    fetches += r.path == "/iw_txtadv.php";
  EXPECT_EQ(fetches, 2);
}

TEST_F(Panels, HelpItemsOpenTheServicesPages) {
  for (const char *name : {"N42", "N11", "N43", "N45", "RzToolButton5"}) {
    QAction *a = main().command(QString::fromLatin1(name));
    ASSERT_TRUE(a) << name;
    EXPECT_TRUE(a->isEnabled()) << name;
    a->trigger();
  }
  EXPECT_EQ(urls.opened,
            (QStringList{root, root + QStringLiteral("forum.php"),
                         root + QStringLiteral("forum.php?mod=forumdisplay&fid=38"),
                         root + QStringLiteral("forum.php?mod=viewthread&tid=5&extra="),
                         root + QStringLiteral("forum.php")}));
}

TEST_F(Panels, CheckForUpdatesAsksTheServiceAndKeepsRunningWithoutAVerifiedUpdater) {
  main().command(QStringLiteral("N111"))->trigger();
  EXPECT_EQ(messages.shown, QStringList{QStringLiteral("当前版本为最新版本，无需更新！")});
  service.route("/iw_checkup.php", HttpResponse::text("<p>[up]</p>"));
  messages.answers = {true};
  main().command(QStringLiteral("N111"))->trigger();
  EXPECT_EQ(messages.asked, QStringList{QStringLiteral("发现新版本，是否更新？")});
  EXPECT_EQ(messages.shown.value(1), QStringLiteral("更新程序校验失败!"));
}

} // namespace
