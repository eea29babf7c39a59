// The search windows in a real main window (offscreen): the add-book dialog opened from the
// quick search box, the shelf menu and 小说属性, and the search configuration.
#include "core/codec.h"
#include "data_fixture.h"
#include "rules/rulefile.h"
#include "rules/ruleset.h"
#include "search/threadsearch.h"
#include "search/ui/searchwiring.h"
#include "search/ui/tbssform.h"
#include "search/ui/tsbform.h"
#include "shelf/ui/booktree.h"
#include "shell/ui/mainform.h"
#include "shell/ui/programwindow.h"
#include "support/loopback_server.h"
#include "support/search_sites.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace inkwren;
using namespace inkwren::test;
using namespace std::chrono_literals;

namespace {

struct SearchWindows : DataFixture {
  LoopbackServer site;
  std::unique_ptr<ProgramWindow> window;
  Tmainform *main = nullptr;
  SearchWiring *search = nullptr;
  Tsbform *sb = nullptr;
  Tbssform *bss = nullptr;

  void SetUp() override {
    DataFixture::SetUp();
    openLibrary();
    // Two search sites and a site rule for the tables of contents they point to.
    const QByteArray rule = "<dw><wk>" + RuleSet::geturlkey(site.url("/")) +
                            "</wk><s0></s0><s1></s1><s2><a href=\"(.*?)\">(.*?)</a></s2>"
                            "<s3>$2</s3><s4>[webpath]$1</s4><s5></s5><s6></s6><s7>{{1}}<p>{{t}}"
                            "</p></s7><s8></s8><s9></s9><s10></s10></dw>";
    const QString sites = listSite(QStringLiteral("甲站"), QStringLiteral("a"), site.url("/a")) +
                          QStringLiteral("\r\n") +
                          listSite(QStringLiteral("乙站"), QStringLiteral("b"), site.url("/b")) +
                          QStringLiteral("\r\n");
    ASSERT_TRUE(codec::writeFileAtomic(app.rules.ruleFilePath(),
                                       RuleFile::build({codec::encode(sites), rule})));
    app.rules.loadRules();
    const QByteArray a = listPage({{QStringLiteral("星海"), QStringLiteral("甲"),
                                    QStringLiteral("一"), QStringLiteral("xh/")},
                                   {QStringLiteral("星海归途"), QStringLiteral("乙"),
                                    QStringLiteral("二"), QStringLiteral("gt/")}});
    const QByteArray b = listPage({{QStringLiteral("星海"), QStringLiteral("丙"),
                                    QStringLiteral("三"), QStringLiteral("xh/")}});
    for (const char *path : {"/a/search", "/a/author"})
      site.route(path, HttpResponse::text(a));
    for (const char *path : {"/b/search", "/b/author"})
      site.route(path, HttpResponse::text(b));
    site.setFallback([](const HttpRequest &r) {
      if (r.path.endsWith("/"))
        return HttpResponse::text("<a href=\"1.html\">one</a>");
      return HttpResponse::text("<p>text</p>");
    });
    db.exec(QStringLiteral("insert into book_type (typename,paix) values ('玄幻',1),('历史',2)"));
    app.shelf.drawbookpanel();
    window = std::make_unique<ProgramWindow>(app, makeFakeHtmlView);
    main = &window->main();
    search = &window->search();
    search->showModal = [](QDialog &d) { d.show(); };
    sb = &search->sbform();
    sb->setTick(1ms);
    bss = &search->bssform();
  }
  void TearDown() override {
    sb->reject();
    app.updates.stopAll();
  }
  bool waitUntil(const std::function<bool()> &done, int ms = 20000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
      QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
  }
  bool searchEnded() {
    return waitUntil([&] { return !sb->searching(); });
  }
  QStringList hitNames() {
    QStringList out;
    for (int i = 0; i < sb->srlv->topLevelItemCount(); ++i)
      out << sb->srlv->topLevelItem(i)->text(0) + u'@' + sb->srlv->topLevelItem(i)->text(1);
    out.sort();
    return out;
  }
  void writeChoice(const QByteArray &lines) {
    QFile f(folder.path(QStringLiteral("db/searchset.dat")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(lines);
  }
};

TEST_F(SearchWindows, QuickSearchToANewBookOnTheShelf) {
  ASSERT_TRUE(main->SpeedButton9->isEnabled());
  QTest::keyClick(main->skey, Qt::Key_Return);
  EXPECT_FALSE(sb->isVisible()) << "an empty box opens nothing";
  main->skey->setText(QStringLiteral("星海"));
  QTest::keyClick(main->skey, Qt::Key_Return);
  ASSERT_TRUE(sb->isVisible());
  EXPECT_EQ(sb->windowTitle(), QStringLiteral("新增小说"));
  EXPECT_EQ(sb->bookn->text(), QStringLiteral("星海"));
  EXPECT_TRUE(sb->searching()) << "the search starts at once";
  EXPECT_EQ(sb->sbb->text(), QStringLiteral("停止"));
  ASSERT_TRUE(searchEnded());
  EXPECT_EQ(hitNames(), (QStringList{QStringLiteral("星海@乙站"), QStringLiteral("星海@甲站"),
                                     QStringLiteral("星海归途@甲站")}));
  EXPECT_EQ(sb->panel0->text(), QStringLiteral("搜索结束！"));
  EXPECT_EQ(sb->panel1->text(), QStringLiteral("共有 3 条记录"));

  // Taking a hit copies name, author and address, not the category.
  sb->bookt->setCurrentIndex(1);
  QTreeWidgetItem *hit = sb->srlv->findItems(QStringLiteral("星海归途"), Qt::MatchExactly).value(0);
  ASSERT_TRUE(hit);
  sb->srlv->setCurrentItem(hit);
  Q_EMIT sb->srlv->itemDoubleClicked(hit, 0);
  EXPECT_EQ(sb->bookn->text(), QStringLiteral("星海归途"));
  EXPECT_EQ(sb->authorn->text(), QStringLiteral("乙"));
  EXPECT_EQ(sb->bookm->text(), QString::fromLatin1(site.url("/a/gt/")));
  EXPECT_EQ(sb->bookt->currentText(), QStringLiteral("历史"));

  sb->dob->click();
  EXPECT_FALSE(sb->isVisible());
  const Bookshelf::Category *history = app.shelf.categoryNamed(QStringLiteral("历史"));
  ASSERT_EQ(history->books.size(), 1u);
  EXPECT_EQ(history->books[0].name, QStringLiteral("星海归途"));
  EXPECT_EQ(history->books[0].muluurl, QString::fromLatin1(site.url("/a/gt/")));
  EXPECT_TRUE(app.updates.running()) << "the new book's first update starts";
}

TEST_F(SearchWindows, SearchButtonRulesStopAndClose) {
  search->newbook();
  EXPECT_FALSE(sb->searching()) << "nothing to search for";
  sb->sbb->click();
  EXPECT_FALSE(sb->searching());
  sb->sbt->setCurrentIndex(1);
  sb->authorn->setText(QStringLiteral("  "));
  sb->sbb->click();
  EXPECT_FALSE(sb->searching()) << "an author of blanks is no author";

  // By author, from a rankings-style opening with an exact flag.
  search->newbook({}, QStringLiteral("甲"), QStringLiteral("没有的分类"), {}, QStringLiteral("1"));
  EXPECT_EQ(sb->sbt->currentText(), QStringLiteral("作者"));
  EXPECT_TRUE(sb->zhunqs->isChecked());
  EXPECT_EQ(sb->bookt->currentText(), QStringLiteral("玄幻"));
  ASSERT_TRUE(searchEnded());
  EXPECT_EQ(hitNames(), QStringList{QStringLiteral("星海@甲站")});

  // A name with an address opens without searching.
  search->newbook(QStringLiteral("星海"), {}, QStringLiteral("历史"), QStringLiteral("http://x/"));
  EXPECT_FALSE(sb->searching());
  EXPECT_EQ(sb->srlv->topLevelItemCount(), 1) << "the hits of the earlier search stay";
  EXPECT_EQ(sb->bookt->currentText(), QStringLiteral("历史"));

  // Stop by the button, and closing the dialog ends a search.
  sb->sbt->setCurrentIndex(0);
  sb->sbb->click();
  ASSERT_TRUE(sb->searching());
  sb->sbb->click();
  EXPECT_FALSE(sb->searching());
  EXPECT_EQ(sb->panel0->text(), QStringLiteral("搜索结束！"));
  sb->sbb->click();
  ASSERT_TRUE(sb->searching());
  sb->RzBitBtn4->click();
  EXPECT_FALSE(sb->isVisible());
  EXPECT_FALSE(sb->searching());
  EXPECT_FALSE(sb->searchthread()->running());
}

TEST_F(SearchWindows, ConfirmNeedsNameCategoryAndAddress) {
  search->newbook(QStringLiteral("星海"), {}, {}, QStringLiteral("http://x/"));
  for (QLineEdit *empty : {sb->bookm, sb->bookn}) {
    const QString before = empty->text();
    empty->setText(QStringLiteral(" "));
    sb->dob->click();
    EXPECT_TRUE(sb->isVisible());
    empty->setText(before);
  }
  for (const auto &c : app.shelf.categories())
    EXPECT_TRUE(c.books.empty());
}

TEST_F(SearchWindows, ShelfMenuProposesTheSelectedCategory) {
  app.updates.setUpdateNewBooks(false);
  auto id = app.shelf.newbook_do(QStringLiteral("历史"), QStringLiteral("书"), {},
                                 QStringLiteral("http://x/"));
  ASSERT_TRUE(id);
  BookTree &tree = window->shelf().tree();
  const QString history = app.shelf.categoryNamed(QStringLiteral("历史"))->item.id;
  struct Case {
    QTreeWidgetItem *selected;
    QString category;
  } cases[] = {
      {nullptr, QStringLiteral("玄幻")},
      {tree.categoryNode(history), QStringLiteral("历史")},
      {tree.getbn(*id), QStringLiteral("历史")},
      {tree.root(), QStringLiteral("玄幻")},
  };
  for (const Case &c : cases) {
    tree.setCurrentItem(c.selected);
    if (!c.selected)
      tree.clearSelection();
    main->N4->trigger();
    EXPECT_TRUE(sb->isVisible());
    EXPECT_EQ(sb->bookt->currentText(), c.category);
    EXPECT_EQ(sb->bookt->count(), 2);
    sb->reject();
  }
}

TEST_F(SearchWindows, PropertiesOfABook) {
  app.updates.setUpdateNewBooks(false);
  auto id = app.shelf.newbook_do(QStringLiteral("历史"), QStringLiteral("书"), QStringLiteral("甲"),
                                 QStringLiteral("http://x/"));
  ASSERT_TRUE(id);
  db.exec(QStringLiteral("update book_list set downtype=1 where bookid=?"), {id->toLongLong()});
  app.shelf.drawbookpanel();
  window->shelf().tree().setCurrentItem(window->shelf().tree().getbn(*id));
  main->N5->trigger();
  ASSERT_TRUE(sb->isVisible());
  EXPECT_EQ(sb->windowTitle(), QStringLiteral("小说属性"));
  EXPECT_EQ(sb->dob->text(), QStringLiteral("确认修改"));
  EXPECT_FALSE(sb->downt->isHidden());
  EXPECT_TRUE(sb->downt->isChecked());
  EXPECT_TRUE(sb->zhunqs->isChecked());
  EXPECT_EQ(sb->bookn->text(), QStringLiteral("书"));
  EXPECT_EQ(sb->authorn->text(), QStringLiteral("甲"));
  EXPECT_EQ(sb->bookt->currentText(), QStringLiteral("历史"));
  sb->bookn->setText(QStringLiteral("新书"));
  sb->bookt->setCurrentIndex(0);
  sb->downt->setChecked(false);
  sb->dob->click();
  EXPECT_FALSE(sb->isVisible());
  const TPItem *book = app.shelf.getbn(*id);
  EXPECT_EQ(book->name, QStringLiteral("新书"));
  EXPECT_EQ(book->downtype, 0);
  EXPECT_EQ(app.shelf.category(app.shelf.categoryOf(*id))->name, QStringLiteral("玄幻"));
  EXPECT_FALSE(app.updates.running()) << "properties start no update";
}

TEST_F(SearchWindows, SitesToSearchFollowTheSavedConfiguration) {
  // No site enabled: every site is searched.
  writeChoice("a,0\r\nb,0\r\n");
  search->newbook(QStringLiteral("星海"));
  ASSERT_TRUE(searchEnded());
  EXPECT_EQ(sb->sslv().size(), 2u);

  // Only 乙站, saved in the configuration (opened from the dialog's "搜索配置"): the next
  // search rebuilds its list.
  sb->RzBitBtn2->click();
  ASSERT_TRUE(bss->isVisible());
  ASSERT_EQ(bss->ListView1->topLevelItemCount(), 2);
  bss->ListView1->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
  bss->ListView1->topLevelItem(1)->setCheckState(0, Qt::Checked);
  bss->RzBitBtn5->click();
  EXPECT_EQ(messages.shown.last(), QStringLiteral("搜索配置保存成功！"));
  bss->close();
  sb->sbb->click();
  ASSERT_TRUE(searchEnded());
  EXPECT_EQ(hitNames(), QStringList{QStringLiteral("星海@乙站")});

  // A choice file changed behind the dialog's back counts only after the next save.
  writeChoice("a,1\r\n");
  sb->sbb->click();
  ASSERT_TRUE(searchEnded());
  EXPECT_EQ(hitNames(), QStringList{QStringLiteral("星海@乙站")});
}

TEST_F(SearchWindows, ConfigurationList) {
  writeChoice("b,1\r\na,0\r\n");
  main->N29->trigger();
  auto keys = [&] {
    QStringList out;
    for (const SiteRow &r : bss->rows())
      out << r.key + (r.checked ? u'+' : u'-');
    return out;
  };
  EXPECT_EQ(keys(), (QStringList{"b+", "a-"}));
  EXPECT_EQ(bss->rows()[0].address, QString::fromLatin1(site.url("/b")));
  // Upload and download use the program's service client.
  EXPECT_TRUE(bss->RzBitBtn2->isEnabled());
  EXPECT_TRUE(bss->RzBitBtn4->isEnabled());

  bss->RzBitBtn1->click(); // 反选
  EXPECT_EQ(keys(), (QStringList{"b-", "a+"}));
  bss->RzBitBtn3->click(); // 按启用排序
  EXPECT_EQ(keys(), (QStringList{"a+", "b-"}));
  bss->RzCheckBox1->click(); // 全选
  EXPECT_EQ(keys(), (QStringList{"a+", "b+"}));
  bss->RzCheckBox1->click();
  EXPECT_EQ(keys(), (QStringList{"a-", "b-"}));

  // Sorting by 网站: descending first, then ascending.
  bss->ListView1ColumnClick(0);
  EXPECT_EQ(keys(), (QStringList{"b-", "a-"})) << "乙 sorts after 甲 in the system's code page";
  bss->ListView1ColumnClick(0);
  EXPECT_EQ(keys(), (QStringList{"a-", "b-"}));

  // Find by name or address.
  bss->skey->setText(QStringLiteral("乙"));
  QTest::keyClick(bss->skey, Qt::Key_Return);
  EXPECT_EQ(bss->ListView1->currentItem()->text(0), QStringLiteral("乙站"));
  bss->skey->setText(QStringLiteral("/a"));
  bss->SpeedButton1->click();
  EXPECT_EQ(bss->ListView1->currentItem()->text(0), QStringLiteral("甲站"));

  // Dragging 乙站 (row 1) onto 甲站 puts it in front, selected.
  bss->moveRow(1, 0);
  EXPECT_EQ(keys(), (QStringList{"b-", "a-"}));
  EXPECT_EQ(bss->ListView1->currentItem()->text(0), QStringLiteral("乙站"));

  // "刷新重置" drops the unsaved changes.
  bss->Button7->click();
  EXPECT_EQ(keys(), (QStringList{"b+", "a-"}));
  bss->close();
}

TEST(SearchConfigurationOrder, EnabledFirstSortAndDrag) {
  // Rows A (off), B (on), C (off), D (on), as a choice file gives them.
  QTemporaryDir dir;
  const QString ruleFile = dir.filePath(QStringLiteral("bookset.dat"));
  QStringList records;
  for (const char *k : {"A", "B", "C", "D"})
    records << swRecord(QLatin1String(k),
                        {QStringLiteral("http://") + QLatin1String(k), QLatin1String(k)});
  ASSERT_TRUE(writeSearchSites(ruleFile, records));
  QFile choice(dir.filePath(QStringLiteral("searchset.dat")));
  ASSERT_TRUE(choice.open(QIODevice::WriteOnly));
  choice.write("A,0\r\nB,1\r\nC,0\r\nD,1\r\n");
  choice.close();
  RuleSet rules(ruleFile);
  SearchSites sites(rules, SearchSetFile(choice.fileName()));
  FakeMessages messages;
  Tbssform form(sites, rules, messages);
  auto order = [&] {
    QString out;
    for (const SiteRow &r : form.rows())
      out += r.key;
    return out;
  };
  form.Button7Click();
  form.RzBitBtn3Click();
  EXPECT_EQ(order(), QStringLiteral("BDAC"));
  form.Button7Click();
  struct Move {
    int from, before;
    const char *order;
  } moves[] = {{0, 2, "BACD"}, {3, 0, "DBAC"}, {1, 1, "DBAC"}, {0, 9, "DBAC"}};
  for (const Move &m : moves) {
    form.moveRow(m.from, m.before);
    EXPECT_EQ(order(), QLatin1String(m.order)) << m.from << "->" << m.before;
  }
  // Saving writes the rows in list order and asks the add-book dialog to reload.
  rules.setSsreload(false);
  form.RzBitBtn5Click();
  EXPECT_TRUE(rules.ssreload());
  EXPECT_EQ(messages.shown, QStringList{QStringLiteral("搜索配置保存成功！")});
  QFile saved(choice.fileName());
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(saved.readAll(), QByteArray("D,1\r\nB,1\r\nA,0\r\nC,0\r\n"));
}

} // namespace
