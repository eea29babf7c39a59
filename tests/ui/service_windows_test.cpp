// The service's windows in a real main window (offscreen): the login dialog with its remembered
// names, the title and "退出登录"; the network bookshelf window and the search configuration's
// upload and download against the real inkwren-server.
#include "core/codec.h"
#include "fakes.h"
#include "rules/rulefile.h"
#include "rules/ruleset.h"
#include "search/searchset.h"
#include "search/ui/searchwiring.h"
#include "search/ui/tbssform.h"
#include "service/service_fixture.h"
#include "service/ui/servicewiring.h"
#include "service/ui/tloginform.h"
#include "service/ui/twebstack.h"
#include "shelf/ui/platform.h"
#include "shell/appcontext.h"
#include "shell/ui/mainform.h"
#include "shell/ui/programwindow.h"
#include "support/loopback_server.h"
#include "support/search_sites.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace inkwren;
using namespace inkwren::test;

namespace {

// The program's windows on a fresh data folder talking to the service at webroot. Dialogs are
// shown without waiting; the login dialog, when the guard or a command opens it, logs in as
// `next` (when set) or is cancelled.
struct Windows {
  explicit Windows(const QString &webroot)
      : app(std::make_unique<AppContext>(dir.path(), messages, webroot)) {
    QString error;
    EXPECT_TRUE(app->folder.prepare(&error, QString())) << error.toStdString();
    EXPECT_TRUE(app->openLibrary(&error)) << error.toStdString();
    app->updates.setUpdateNewBooks(false);
    app->shelf.drawbookpanel();
    window = std::make_unique<ProgramWindow>(*app, makeFakeHtmlView);
    wiring = &window->service();
    wiring->showModal = [this](QDialog &d) {
      shown << d.objectName();
      d.show();
      if (&d != &wiring->loginform())
        return;
      if (next.first.isEmpty()) {
        if (cancelLogin)
          d.reject();
        return;
      }
      fillLogin(next.first, next.second);
      login().Button1->click();
    };
  }
  Tloginform &login() { return wiring->loginform(); }
  Twebstack &stack() { return wiring->webstack(); }
  void fillLogin(const QString &user, const QString &password) {
    login().user->setEditText(user);
    login().pass->setText(password);
  }
  // Logs in through the dialog opened by "用户登录".
  void loginAs(const QString &user, const QString &password, bool remember = true) {
    login().remuser->setChecked(remember);
    next = {user, password};
    window->main().command(QStringLiteral("N31"))->trigger();
    next = {};
  }
  QString title() const { return window->main().titlel->text(); }
  QStringList shelf() const {
    QStringList out;
    for (const auto &c : app->shelf.categories())
      for (const auto &b : c.books)
        out << c.item.name + u'/' + b.name + u'/' + b.authorname + u'/' + b.muluurl;
    return out;
  }
  QStringList userNames() {
    QStringList out;
    for (int i = 0; i < login().user->count(); ++i)
      out << login().user->itemText(i);
    return out;
  }

  QTemporaryDir dir;
  FakeMessages messages;
  std::unique_ptr<AppContext> app;
  std::unique_ptr<ProgramWindow> window;
  ServiceWiring *wiring = nullptr;
  QStringList shown;
  std::pair<QString, QString> next;
  bool cancelLogin = true; // else the dialog stays open for the test
};

// A service whose login accepts any name with the password "right"; the password "down" fails
// in transport (an error status).
struct LoginWindows : ::testing::Test {
  LoopbackServer site;
  std::unique_ptr<Windows> w;
  void SetUp() override {
    site.route("/iw_login.php", [](const HttpRequest &r) {
      if (r.body.contains("password=down"))
        return HttpResponse::text("", 500);
      return HttpResponse::text(r.body.contains("password=right&") ? "<ok>" : "<loginfail>");
    });
    w = std::make_unique<Windows>(QString::fromLatin1(site.url("/")));
    w->app->settings.setLive(true); // as after start-up: single changes are written at once
  }
  QString userlist() { return w->app->settings.value(Settings::userlist); }
  // The userlist as written in the settings file.
  QString storedUserlist() {
    Settings fresh(w->app->settings.path());
    fresh.getset(1);
    return fresh.value(Settings::userlist);
  }
};

TEST_F(LoginWindows, RememberedNamesFollowEachLogin) {
  w->app->settings.store(Settings::userlist, QStringLiteral("b,a"));
  struct Case {
    QString user;
    bool remember;
    QString after;
  };
  const Case cases[] = {
      {QStringLiteral("c"), true, QStringLiteral("c,b,a")},   // new names go in front
      {QStringLiteral("b"), true, QStringLiteral("c,b,a")},   // known: unchanged
      {QStringLiteral("d"), false, QStringLiteral("c,b,a")},  // not to be remembered
      {QStringLiteral("B"), true, QStringLiteral("B,c,b,a")}, // letter case counts
      {QStringLiteral("x,y"), true, QStringLiteral("x,y,B,c,b,a")},
  };
  for (const Case &c : cases) {
    w->loginAs(c.user, QStringLiteral("right"), c.remember);
    EXPECT_EQ(userlist(), c.after) << c.user.toStdString();
    EXPECT_EQ(storedUserlist(), c.after) << c.user.toStdString();
    EXPECT_FALSE(w->login().isVisible());
    EXPECT_EQ(w->title(), QStringLiteral("墨鹪 ") + c.user);
    EXPECT_EQ(w->app->service.loginuser(), c.user);
  }
  // The name with a comma comes back from the list as two entries; the boxes start empty.
  w->wiring->showLogin();
  w->login().reject();
  EXPECT_EQ(w->userNames(),
            (QStringList{QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("B"),
                         QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("a")}));
  EXPECT_TRUE(w->login().user->currentText().isEmpty());
  EXPECT_TRUE(w->login().pass->text().isEmpty());
  EXPECT_TRUE(w->messages.shown.isEmpty());
}

TEST_F(LoginWindows, ClearForgetsOnlyTheNameInTheBox) {
  struct Case {
    QString before, name, after;
  };
  const Case cases[] = {
      {QStringLiteral("c,b,a"), QStringLiteral("b"), QStringLiteral("c,a")},
      {QStringLiteral("b"), QStringLiteral("b"), QString()},
      {QStringLiteral("c,a"), QStringLiteral("zz"), QStringLiteral("c,a")},
      {QStringLiteral("c,a"), QStringLiteral("C"), QStringLiteral("c,a")},
  };
  for (const Case &c : cases) {
    w->app->settings.store(Settings::userlist, c.before);
    w->login().getuserlist();
    w->fillLogin(c.name, QStringLiteral("typed"));
    w->login().RzBitBtn1->click();
    EXPECT_EQ(userlist(), c.after) << c.name.toStdString();
    EXPECT_EQ(storedUserlist(), c.after) << c.name.toStdString();
    EXPECT_EQ(w->userNames(), Tloginform::names(c.after));
    EXPECT_TRUE(w->login().user->currentText().isEmpty());
    EXPECT_TRUE(w->login().pass->text().isEmpty());
  }
}

TEST_F(LoginWindows, RefusedOrUnreachableLoginChangesNothing) {
  w->app->settings.store(Settings::userlist, QStringLiteral("a"));
  w->cancelLogin = false;
  w->window->main().command(QStringLiteral("N31"))->trigger();
  w->fillLogin(QStringLiteral("c"), QStringLiteral("wrong"));
  // Enter in the password box logs in.
  QMetaObject::invokeMethod(w->login().pass, "returnPressed");
  EXPECT_EQ(w->messages.shown, QStringList{QStringLiteral("账号或密码错误!")});
  w->fillLogin(QStringLiteral("c"), QStringLiteral("down"));
  w->login().Button1->click();
  EXPECT_EQ(w->messages.shown.size(), 1); // nothing said when the service can't be reached
  EXPECT_TRUE(w->login().isVisible());
  EXPECT_EQ(w->login().user->currentText(), QStringLiteral("c"));
  EXPECT_TRUE(w->login().Button1->isEnabled());
  EXPECT_FALSE(w->app->service.loggedIn());
  EXPECT_EQ(w->title(), QStringLiteral("墨鹪"));
  EXPECT_EQ(userlist(), QStringLiteral("a"));
  // An empty box sends nothing.
  const auto before = site.requests().size();
  w->fillLogin(QStringLiteral("c"), QString());
  w->login().Button1->click();
  EXPECT_EQ(site.requests().size(), before);
  w->login().RzShapeButton1->click();
  EXPECT_FALSE(w->login().isVisible());
}

TEST_F(LoginWindows, LogoutRestoresTheTitleAndTheMenu) {
  QAction *n32 = w->window->main().command(QStringLiteral("N32"));
  EXPECT_FALSE(n32->isEnabled());
  EXPECT_TRUE(w->window->main().command(QStringLiteral("N31"))->isEnabled());
  // The toolbar's "用户登录" opens the dialog like the menu item.
  w->window->main().command(QStringLiteral("RzToolButton1"))->trigger();
  EXPECT_EQ(w->shown, QStringList{QStringLiteral("loginform")});
  w->login().reject();
  w->loginAs(QStringLiteral("甲 乙"), QStringLiteral("right"));
  EXPECT_TRUE(n32->isEnabled());
  EXPECT_EQ(w->title(), QStringLiteral("墨鹪 甲 乙"));
  n32->trigger();
  EXPECT_FALSE(w->app->service.loggedIn());
  EXPECT_TRUE(w->app->service.loginpass().isEmpty());
  EXPECT_EQ(w->title(), QStringLiteral("墨鹪"));
  EXPECT_FALSE(n32->isEnabled());
}

TEST_F(LoginWindows, NetworkShelfWindowNeedsALogin) {
  // Logged out, the guard shows the login dialog; cancelled, the window stays closed.
  w->window->main().command(QStringLiteral("viewstackb"))->trigger();
  EXPECT_EQ(w->shown, QStringList{QStringLiteral("loginform")});
  EXPECT_FALSE(w->stack().isVisible());
  EXPECT_TRUE(site.requests().isEmpty());
}

TEST_F(LoginWindows, AFailedReloadIsNeverSavedOverTheNetworkShelf) {
  w->loginAs(QStringLiteral("a"), QStringLiteral("right"));
  site.route("/iw_getstack.php", HttpResponse::text("", 503));
  w->window->main().command(QStringLiteral("Nviewstackb"))->trigger();
  ASSERT_TRUE(w->stack().isVisible());
  EXPECT_EQ(w->messages.shown, QStringList{QStringLiteral("操作失败!")});
  EXPECT_TRUE(w->stack().entries().isEmpty());
  EXPECT_FALSE(w->stack().RzBitBtn5->isEnabled());
  w->stack().RzBitBtn5Click();
  for (const HttpRequest &r : site.requests())
    EXPECT_FALSE(r.path.contains("iw_bookstacksave")) << r.path.toStdString();
  // Once the list arrives, it can be saved.
  site.route("/iw_getstack.php", HttpResponse::text("<ok>"));
  site.route("/iw_bookstacksave.php", HttpResponse::text("<ok>"));
  w->stack().RzButton6->click();
  EXPECT_TRUE(w->stack().RzBitBtn5->isEnabled());
  w->stack().RzBitBtn5->click();
  EXPECT_EQ(w->messages.shown,
            (QStringList{QStringLiteral("操作失败!"), QStringLiteral("保存成功!")}));
}

TEST(LoginLinks, OpenTheServicePagesInTheBrowser) {
  QTemporaryDir dir;
  FakeMessages messages;
  AppContext app(dir.path(), messages, QStringLiteral("http://127.0.0.1:9/"));
  RecordedUrls urls;
  Tloginform form(app.service, app.settings, messages, urls);
  Q_EMIT form.Label3->linkActivated(QStringLiteral("#"));
  Q_EMIT form.Label4->linkActivated(QStringLiteral("#"));
  EXPECT_EQ(
      urls.opened,
      (QStringList{
          QStringLiteral("http://127.0.0.1:9/member.php?mod=register"),
          QStringLiteral("http://127.0.0.1:9/member.php?mod=logging&action=login&viewlostpw")}));
}

// The real service with two users, 甲 and 乙.
struct ServiceWindows : ::testing::Test {
  ServerProcess server;
  std::unique_ptr<Windows> w;
  const QList<StackEntry> three{{QStringLiteral("斗破苍穹"), QStringLiteral("天蚕土豆"),
                                 QStringLiteral("玄幻"), QStringLiteral("http://a.example/1/")},
                                {QStringLiteral("Abc"), QStringLiteral("某人"),
                                 QStringLiteral("都市 小说"),
                                 QStringLiteral("http://b.example/x?id=2&p=1")},
                                {QStringLiteral("bcd"), QStringLiteral("天蚕"),
                                 QStringLiteral("玄幻"), QStringLiteral("http://a.example/3/")}};

  void SetUp() override {
    ASSERT_TRUE(server.ok());
    for (const char *user : {"甲", "乙"})
      ASSERT_EQ(server.admin({QStringLiteral("adduser"), QString::fromUtf8(user)},
                             QStringLiteral("pw 123")),
                0);
    w = std::make_unique<Windows>(server.base());
  }
  // Puts entries on a user's network shelf from another client.
  void networkShelf(const QString &user, const QList<StackEntry> &entries) {
    Client c(server.base());
    c.app->service.login(user, QStringLiteral("pw 123"));
    ASSERT_EQ(c.app->service.bookstacksave(entries), ServiceClient::Outcome::Ok);
  }
  QList<StackEntry> networkShelf(const QString &user) {
    Client c(server.base());
    c.app->service.login(user, QStringLiteral("pw 123"));
    return c.app->service.getstack().value_or(QList<StackEntry>{});
  }
  // Opens the network bookshelf window from the toolbar, logging in as 甲 on the way.
  void openStack() {
    w->next = {QStringLiteral("甲"), QStringLiteral("pw 123")};
    w->window->main().command(QStringLiteral("viewstackb"))->trigger();
    w->next = {};
  }
};

TEST_F(ServiceWindows, DownloadingTheNetworkShelfTwiceAddsNothing) {
  networkShelf(QStringLiteral("甲"), three);
  openStack();
  EXPECT_EQ(w->shown, (QStringList{QStringLiteral("loginform"), QStringLiteral("webstack")}));
  ASSERT_TRUE(w->stack().isVisible());
  EXPECT_EQ(w->stack().entries(), three);
  EXPECT_TRUE(w->stack().entries(true).isEmpty());

  // "下载" takes only the checked rows.
  w->stack().RzListView1->topLevelItem(1)->setCheckState(0, Qt::Checked);
  w->stack().RzBitBtn2->click();
  EXPECT_EQ(w->shelf(),
            QStringList{QStringLiteral("都市 小说/Abc/某人/http://b.example/x?id=2&p=1")});
  w->stack().RzBitBtn1->click();
  const QStringList all = w->shelf();
  EXPECT_EQ(all.size(), 3);
  w->stack().RzBitBtn1->click();
  EXPECT_EQ(w->shelf(), all);
  EXPECT_TRUE(w->messages.shown.isEmpty());
}

TEST_F(ServiceWindows, SaveSendsTheEditedOrderAndDeleteAllEmptiesTheShelf) {
  networkShelf(QStringLiteral("甲"), three);
  openStack();
  Twebstack &s = w->stack();
  // Headers: the first click sorts descending, the second ascending, whichever the column
  // (names and authors compared as GBK bytes, ASCII letters without case).
  s.RzListView1ColumnClick(0);
  EXPECT_EQ(s.entries(), (QList<StackEntry>{three[0], three[2], three[1]}));
  s.RzListView1ColumnClick(1);
  EXPECT_EQ(s.entries(), (QList<StackEntry>{three[1], three[2], three[0]}));
  // The last row dragged onto the first lands above it; the first row is deleted.
  s.moveRow(2, 0);
  EXPECT_EQ(s.entries(), (QList<StackEntry>{three[0], three[1], three[2]}));
  s.RzListView1->topLevelItem(0)->setCheckState(0, Qt::Checked);
  s.moveRow(1, 0);
  w->messages.answers = {false, true};
  s.RzBitBtn3->click(); // answered no
  EXPECT_EQ(s.entries().size(), 3);
  s.RzBitBtn3->click();
  EXPECT_EQ(s.entries(), (QList<StackEntry>{three[1], three[2]}));
  EXPECT_EQ(networkShelf(QStringLiteral("甲")), three); // nothing sent before saving
  s.RzBitBtn5->click();
  EXPECT_EQ(networkShelf(QStringLiteral("甲")), (QList<StackEntry>{three[1], three[2]}));

  w->messages.answers = {true};
  s.RzBitBtn4->click();
  EXPECT_TRUE(s.entries().isEmpty());
  s.RzBitBtn5->click();
  EXPECT_TRUE(networkShelf(QStringLiteral("甲")).isEmpty());
  EXPECT_EQ(w->messages.asked,
            (QStringList{QStringLiteral("确认要删除选中书籍？操作后需保存才能生效！"),
                         QStringLiteral("确认要删除选中书籍？操作后需保存才能生效！"),
                         QStringLiteral("确认要删除全部书籍？操作后需保存才能生效！")}));
  EXPECT_EQ(w->messages.shown, QStringList(2, QStringLiteral("保存成功!")));
}

TEST_F(ServiceWindows, SearchWrapsRoundOnce) {
  networkShelf(QStringLiteral("甲"), three);
  openStack();
  Twebstack &s = w->stack();
  auto search = [&](const QString &text) {
    s.RzEdit1->setText(text);
    QMetaObject::invokeMethod(s.RzEdit1, "returnPressed");
    return s.RzListView1->currentItem() ? s.RzListView1->currentItem()->text(0) : QString();
  };
  EXPECT_EQ(search(QStringLiteral("天蚕")), three[0].bookname); // by author, from the top
  EXPECT_EQ(search(QStringLiteral("天蚕")), three[2].bookname);
  EXPECT_EQ(search(QStringLiteral("天蚕")), three[0].bookname); // wrapped round
  EXPECT_EQ(search(QStringLiteral("Abc")), three[1].bookname);
  EXPECT_EQ(search(QStringLiteral("Abc")), three[1].bookname); // only the selected row
  EXPECT_TRUE(w->messages.shown.isEmpty());
  EXPECT_EQ(search(QStringLiteral("abc")), three[1].bookname); // case counts: not found
  EXPECT_EQ(w->messages.shown, QStringList{QStringLiteral("没有符合条件的记录!")});
}

TEST_F(ServiceWindows, ALoginWhileTheWindowShowsShowsTheNewUsersShelf) {
  networkShelf(QStringLiteral("甲"), three);
  networkShelf(QStringLiteral("乙"), {three[1]});
  openStack();
  EXPECT_EQ(w->stack().entries(), three);
  w->loginAs(QStringLiteral("乙"), QStringLiteral("pw 123"));
  EXPECT_EQ(w->stack().entries(), QList<StackEntry>{three[1]});
  EXPECT_EQ(w->title(), QStringLiteral("墨鹪 乙"));
}

TEST_F(ServiceWindows, ShelfCommandsUploadAndDownload) {
  ASSERT_TRUE(w->app->shelf.newbook_do(three[0].booktype, three[0].bookname, three[0].authorname,
                                       three[0].downurl));
  ASSERT_TRUE(w->app->shelf.newbook_do(three[1].booktype, three[1].bookname, three[1].authorname,
                                       three[1].downurl));
  Tmainform &main = w->window->main();
  // Nothing open for reading: "上传" has no novel.
  main.command(QStringLiteral("RzToolButton2"))->trigger();
  EXPECT_EQ(w->messages.shown, QStringList{QStringLiteral("当前没有选中小说!")});
  w->next = {QStringLiteral("甲"), QStringLiteral("pw 123")};
  w->messages.answers = {false};
  main.command(QStringLiteral("N17"))->trigger();
  EXPECT_EQ(w->messages.asked, QStringList{QStringLiteral("上传成功！是否访问网络书架？")});
  EXPECT_EQ(networkShelf(QStringLiteral("甲")), (QList<StackEntry>{three[0], three[1]}));

  Windows away(server.base());
  away.next = {QStringLiteral("甲"), QStringLiteral("pw 123")};
  away.window->main().command(QStringLiteral("N40"))->trigger();
  EXPECT_EQ(away.shelf(), w->shelf());

  // Clearing, then "yes" to visiting the network shelf opens the (now empty) window.
  w->messages.answers = {true, true};
  main.command(QStringLiteral("N41"))->trigger();
  EXPECT_TRUE(networkShelf(QStringLiteral("甲")).isEmpty());
  EXPECT_TRUE(w->stack().isVisible());
  EXPECT_TRUE(w->stack().entries().isEmpty());
}

// The search configuration's upload and download against the real service.
struct SearchSetWindows : ServiceWindows {
  void SetUp() override {
    ServiceWindows::SetUp();
    if (HasFatalFailure())
      return;
    QString sites;
    for (const char *key : {"k1", "k2", "k3"})
      sites += listSite(QStringLiteral("站") + QLatin1String(key), QLatin1String(key),
                        "http://127.0.0.1:9/" + QByteArray(key)) +
               QStringLiteral("\r\n");
    ASSERT_TRUE(codec::writeFileAtomic(w->app->rules.ruleFilePath(),
                                       RuleFile::build({codec::encode(sites), QByteArray()})));
    w->app->rules.loadRules();
    w->next = {QStringLiteral("甲"), QStringLiteral("pw 123")};
  }
  Tbssform &bss() { return w->window->search().bssform(); }
  QByteArray choiceFile() {
    QFile f(w->app->folder.path(QStringLiteral("db/searchset.dat")));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  QStringList keys() {
    QStringList out;
    for (const SiteRow &r : bss().rows())
      out << r.key + (r.checked ? QStringLiteral(",1") : QStringLiteral(",0"));
    return out;
  }
};

TEST_F(SearchSetWindows, UploadSendsTheRowsAsTheyStand) {
  bss().Button7Click();
  bss().moveRow(2, 0);
  bss().ListView1->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
  ASSERT_TRUE(bss().RzBitBtn2->isEnabled());
  bss().RzBitBtn2->click();
  EXPECT_EQ(w->messages.shown, QStringList{QStringLiteral("上传成功!")});
  Client c(server.base());
  c.app->service.login(QStringLiteral("甲"), QStringLiteral("pw 123"));
  EXPECT_EQ(c.app->service.getsearchset(), QByteArray("k3,1\r\nk1,0\r\nk2,1\r\n"));
  EXPECT_TRUE(choiceFile().isEmpty()); // uploading saves nothing locally
}

TEST_F(SearchSetWindows, DownloadReplacesTheChoiceAndReloadsTheList) {
  bss().Button7Click();
  EXPECT_EQ(keys(),
            (QStringList{QStringLiteral("k1,1"), QStringLiteral("k2,1"), QStringLiteral("k3,1")}));
  // Nothing on the service yet: the local choice stays.
  w->app->rules.setSsreload(false);
  bss().RzBitBtn4->click();
  EXPECT_EQ(w->messages.shown, QStringList{QStringLiteral("操作失败!")});
  EXPECT_TRUE(choiceFile().isEmpty());

  Client c(server.base());
  c.app->service.login(QStringLiteral("甲"), QStringLiteral("pw 123"));
  ASSERT_EQ(c.app->service.searchsetsave("k2,1\r\nk3,0\r\n"), ServiceClient::Outcome::Ok);
  // A choice file that can't be written is no success.
  const QString path = w->app->folder.path(QStringLiteral("db/searchset.dat"));
  ASSERT_TRUE(QDir().mkpath(path));
  bss().RzBitBtn4->click();
  EXPECT_EQ(w->messages.shown, QStringList(2, QStringLiteral("操作失败!")));
  EXPECT_EQ(keys().size(), 3);
  ASSERT_TRUE(QDir(path).removeRecursively());
  bss().RzBitBtn4->click();
  EXPECT_EQ(w->messages.shown,
            (QStringList{QStringLiteral("操作失败!"), QStringLiteral("操作失败!"),
                         QStringLiteral("下载成功!")}));
  EXPECT_EQ(choiceFile(), QByteArray("k2,1\r\nk3,0\r\n"));
  EXPECT_EQ(keys(),
            (QStringList{QStringLiteral("k2,1"), QStringLiteral("k3,0"), QStringLiteral("k1,0")}));
  EXPECT_FALSE(w->app->rules.ssreload()); // the add-book dialog keeps its sites until a save
}

} // namespace
