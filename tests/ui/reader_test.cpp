// The reader in a main window with a stand-in HTML view: showing chapters, moving between
// them, read marks, bookmarks and filters, and the template editor.
#include "core/codec.h"
#include "data_fixture.h"
#include "reader/bookmarkfile.h"
#include "reader/readingpage.h"
#include "reader/templatestyle.h"
#include "reader/ui/bookmarkmenus.h"
#include "reader/ui/readerwiring.h"
#include "reader/ui/tviewmodeform.h"
#include "shelf/ui/booktree.h"
#include "shelf/ui/chapterlist.h"
#include "shelf/ui/latestlist.h"
#include "shelf/ui/platform.h"
#include "shelf/ui/shelfcontroller.h"
#include "shell/ui/mainform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <gtest/gtest.h>

using namespace inkwren;
using namespace inkwren::test;

namespace {

const QString kBody = QStringLiteral("<div class=\"bookname\">[[title]]</div><hr>"
                                     "<div class=\"content\">[[content]]</div>");

struct ReaderInWindow : DataFixture {
  std::unique_ptr<Tmainform> main;
  std::unique_ptr<ShelfWiring> shelf;
  std::unique_ptr<ReaderWiring> reader;
  RecordedUrls urls;
  QString bookId;
  QStringList ids; // chapters of the book, in order

  void SetUp() override {
    DataFixture::SetUp();
    openLibrary();
    app.updates.setUpdateNewBooks(false);
    QFile::copy(QStringLiteral(INKWREN_SOURCE_DATA_DIR "/book/bank.html"),
                folder.path(QStringLiteral("book/bank.html")));
    main = std::make_unique<Tmainform>(services, makeFakeHtmlView);
    shelf = std::make_unique<ShelfWiring>(services, *main, shelfModel(), updateRunning());
    reader =
        std::make_unique<ReaderWiring>(services, *main, *shelf, app.marks, makeFakeHtmlView, &urls);
    bookId = *app.shelf.newbook_do(QStringLiteral("T"), QStringLiteral("书"), {},
                                   QStringLiteral("http://x/"));
    for (int k = 1; k <= 3; ++k) {
      db.exec(QStringLiteral("insert into book_zhangjie (bookid,zhangjiename,zhangjieurl,paix,"
                             "readstate) values (?,?,?,?,0)"),
              {bookId.toLongLong(), QStringLiteral("第%1章").arg(k),
               QStringLiteral("http://x/%1.html").arg(k), k});
      ids << QString::number(db.lastInsertId());
      app.files.writeChapter(bookId, ids.last(),
                             codec::encode(QStringLiteral("正文%1\r\n").arg(k)));
    }
    app.shelf.drawbookpanel();
  }

  FakeHtmlView &webem() { return static_cast<FakeHtmlView &>(main->htmlView()); }
  ChapterList &list() { return shelf->chapterList(); }
  int unread() { return app.shelf.getbn(bookId)->noreadcount; }
  int readstate(const QString &id) { return app.chapters.chapter(bookId, id)->readstate; }
  QString selectedId() {
    QTreeWidgetItem *r = list().selectedRow();
    return r ? ChapterList::chapterId(r) : QString();
  }
  void open() {
    shelf->tree().setCurrentItem(shelf->tree().getbn(bookId));
    main->N19->trigger();
  }
  // Lets pending requests run; gives the number of loads asked for meanwhile.
  qsizetype settle() {
    const qsizetype before = webem().loads.size();
    QApplication::processEvents();
    QApplication::processEvents();
    return webem().loads.size() - before;
  }
  // The pane finishes loading the last address asked for, with the template's body.
  void finishLoad() { webem().finishLoad(QUrl(webem().loads.last()), kBody); }
  QString filled(int k) {
    return ReadingPage::fillBody(kBody, QStringLiteral("第%1章").arg(k),
                                 QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;正文%1<br>&nbsp;&nbsp;"
                                                "&nbsp;&nbsp;")
                                     .arg(k));
  }
};

TEST_F(ReaderInWindow, OpeningABookShowsItsFirstChapterAndMarksItReadOnce) {
  ASSERT_EQ(unread(), 3);
  open();
  EXPECT_EQ(main->pagestate, ReadingPage);
  EXPECT_EQ(main->topbp4->text(), QStringLiteral("书"));
  EXPECT_EQ(settle(), 1);
  EXPECT_EQ(webem().loads.last(), ReadingPage::templateUrl(folder).toString());
  EXPECT_EQ(readstate(ids[0]), 0); // nothing is read before the page has loaded
  finishLoad();
  EXPECT_EQ(webem().body, filled(1));
  EXPECT_EQ(readstate(ids[0]), 1);
  EXPECT_TRUE(ChapterList::isRead(list().topLevelItem(0)));
  EXPECT_EQ(unread(), 2);

  // Clicking the row again reloads and refills; a read chapter changes nothing.
  Q_EMIT list().itemClicked(list().topLevelItem(0), 0);
  EXPECT_EQ(settle(), 1);
  finishLoad();
  EXPECT_EQ(webem().body, filled(1));
  EXPECT_EQ(unread(), 2);

  // A missing chapter file: the title alone, and the chapter still counts as read.
  QFile::remove(app.files.chapterFile(bookId, ids[1]));
  list().setCurrentItem(list().topLevelItem(1));
  EXPECT_EQ(settle(), 1);
  finishLoad();
  EXPECT_EQ(webem().body, ReadingPage::fillBody(kBody, QStringLiteral("第2章"), QString()));
  EXPECT_EQ(unread(), 1);

  // The fill reads the page and the selection when the template has loaded: on the shelf the
  // page is left as loaded.
  main->topbp1Click();
  finishLoad();
  EXPECT_EQ(webem().body, kBody);
}

TEST_F(ReaderInWindow, MovingBetweenChapters) {
  open();
  settle();
  finishLoad();
  ShelfController &c = shelf->controller();
  const struct {
    QAction *command;
    int row;
  } moves[] = {
      {c.N62, 1},        {main->vnextb, 2}, {main->vnextb, 2}, // the last row stays
      {main->vlastb, 1}, {c.N63, 0},        {main->vlastb, 0}, // the first row stays
      {c.N64, 2},        {c.N90, 1},        {c.N91, 2},
  };
  for (const auto &m : moves) {
    m.command->trigger();
    EXPECT_EQ(settle(), 1) << m.command->text().toStdString();
    EXPECT_EQ(selectedId(), ids[m.row]) << m.command->text().toStdString();
    finishLoad();
  }
  // Every chapter is read now: "未读章节" does nothing.
  main->vnoreadb->trigger();
  EXPECT_EQ(settle(), 0);

  // Template links: a page with viewtype next / last moves; a web page's address never does.
  list().setCurrentItem(list().topLevelItem(0));
  settle();
  webem().finishLoad(ReadingPage::templateUrl(folder, QStringLiteral("next")), kBody);
  EXPECT_EQ(settle(), 1);
  EXPECT_EQ(selectedId(), ids[1]);
  webem().finishLoad(QUrl(QStringLiteral("http://evil.example/?viewtype=next")), kBody);
  EXPECT_EQ(settle(), 0);
  webem().finishLoad(QUrl(QStringLiteral("http://evil.example/?viewtype=zjview")), kBody);
  EXPECT_EQ(webem().body, kBody); // no chapter goes into a web page

  // The keyboard while the reading pane has the focus.
  QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
  QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
  QKeyEvent ctrlRight(QEvent::KeyPress, Qt::Key_Right, Qt::ControlModifier);
  ASSERT_TRUE(webem().keyHandler);
  EXPECT_TRUE(webem().keyHandler(right));
  settle();
  EXPECT_EQ(selectedId(), ids[2]);
  EXPECT_TRUE(webem().keyHandler(left));
  settle();
  EXPECT_EQ(selectedId(), ids[1]);
  EXPECT_FALSE(webem().keyHandler(ctrlRight));
  EXPECT_TRUE(main->vnextb->toolTip().contains(QStringLiteral("→")));

  // On the shelf the "跳转" commands do nothing.
  main->topbp1Click();
  settle();
  shelf->controller().N91->trigger();
  EXPECT_EQ(settle(), 0);
  EXPECT_EQ(selectedId(), ids[1]);
}

TEST_F(ReaderInWindow, LatestUpdatesShowTheirChapterAndOpenTheirBook) {
  main->topbp3Click();
  LatestList &latest = shelf->latestList();
  ASSERT_EQ(latest.topLevelItemCount(), 3);
  // "阅读本书" without a selected row says so.
  latest.clearSelection();
  settle();
  messages.shown.clear();
  main->RzToolButton9->trigger();
  EXPECT_EQ(messages.shown, QStringList{QStringLiteral("当前没有选中任何章节!")});

  QTreeWidgetItem *row = latest.getnzjTListItem(bookId, ids[2]);
  latest.setCurrentItem(row);
  EXPECT_EQ(settle(), 1);
  finishLoad();
  EXPECT_EQ(webem().body, filled(3));
  EXPECT_TRUE(LatestList::isRead(row));
  EXPECT_EQ(readstate(ids[2]), 1);
  EXPECT_EQ(unread(), 2); // the book's node, found by its id: no book is open

  main->RzToolButton9->trigger();
  EXPECT_EQ(main->pagestate, ReadingPage);
  EXPECT_EQ(app.current.id(), bookId);
}

TEST_F(ReaderInWindow, OpeningABookWithoutChaptersLeavesThePane) {
  const QString empty = *app.shelf.newbook_do(QStringLiteral("T"), QStringLiteral("空"), {},
                                              QStringLiteral("http://y/"));
  shelf->tree().setCurrentItem(shelf->tree().getbn(empty));
  main->N19->trigger();
  EXPECT_EQ(main->pagestate, ReadingPage);
  EXPECT_EQ(settle(), 0);
}

TEST_F(ReaderInWindow, VisitingTheChapterAddress) {
  open();
  settle();
  main->command(QStringLiteral("N78"))->trigger();
  EXPECT_EQ(urls.opened, QStringList{QStringLiteral("http://x/1.html")});
  list().clearSelection();
  main->command(QStringLiteral("N78"))->trigger();
  EXPECT_EQ(messages.shown.last(), QStringLiteral("当前没有选中任何章节!"));
}

TEST_F(ReaderInWindow, BookmarksAndFilters) {
  open();
  settle();
  BookmarkMenus &menus = reader->bookmarks();
  auto entries = [](QMenu *menu) {
    QStringList names;
    for (QAction *a : menu->actions().mid(2))
      names << a->objectName() + QLatin1Char('=') + a->text();
    return names;
  };
  const QString bm1 = QStringLiteral("bm") + ids[1] + QStringLiteral("=第2章");
  EXPECT_TRUE(main->RzToolButton8->menu() == menus.sqmenu);

  // Adding the same chapter twice keeps one record and one entry.
  list().setCurrentItem(list().topLevelItem(1));
  menus.N99->trigger();
  menus.N99->trigger();
  EXPECT_EQ(entries(menus.sqmenu), QStringList{bm1});
  EXPECT_EQ(BookmarkFile(app.files, bookId).ids(), QStringList{ids[1]});

  // Jumping to it selects its row.
  list().setCurrentItem(list().topLevelItem(0));
  BookmarkMenus::entry(menus.sqmenu, QStringLiteral("bm") + ids[1])->actions()[0]->trigger();
  EXPECT_EQ(selectedId(), ids[1]);

  // Filtering asks first; "取消" keeps the chapter.
  messages.answers = {false, true};
  menus.N101->trigger();
  EXPECT_EQ(list().topLevelItemCount(), 3);
  list().setCurrentItem(list().topLevelItem(1));
  menus.N101->trigger();
  ASSERT_EQ(messages.asked.size(), 2);
  EXPECT_EQ(messages.asked[0],
            QStringLiteral("确实要将当前章节设为过滤章节？设置后将不在章节列表中显示！"));
  EXPECT_EQ(list().topLevelItemCount(), 2);
  EXPECT_FALSE(list().getzjTListItem(ids[1]));
  EXPECT_EQ(entries(menus.glmenu),
            QStringList{QStringLiteral("bg") + ids[1] + QStringLiteral("=第2章")});
  EXPECT_EQ(unread(), 2); // the filtered chapter no longer counts
  // Its bookmark stays in the file but has no entry while it is filtered, also when rebuilt.
  menus.drawshuqian();
  EXPECT_TRUE(entries(menus.sqmenu).isEmpty());
  EXPECT_EQ(BookmarkFile(app.files, bookId).ids(), QStringList{ids[1]});

  // Both menus are rebuilt from the book when it is opened.
  menus.drawguolv();
  EXPECT_EQ(entries(menus.glmenu).size(), 1);

  // "取消过滤" brings the chapter back in its place, with its bookmark.
  BookmarkMenus::entry(menus.glmenu, QStringLiteral("bg") + ids[1])->actions()[0]->trigger();
  EXPECT_TRUE(entries(menus.glmenu).isEmpty());
  ASSERT_EQ(list().topLevelItemCount(), 3);
  EXPECT_EQ(ChapterList::chapterId(list().topLevelItem(1)), ids[1]);
  EXPECT_EQ(entries(menus.sqmenu), QStringList{bm1});
  EXPECT_EQ(unread(), 3);

  // Deleting the bookmark removes every record of it.
  QFile f(app.files.bookmarkFile(bookId));
  ASSERT_TRUE(f.open(QIODevice::Append));
  f.write("<bm>" + ids[1].toLatin1() + "</bm><bm>" + ids[0].toLatin1() + "</bm>");
  f.close();
  BookmarkMenus::entry(menus.sqmenu, QStringLiteral("bm") + ids[1])->actions()[1]->trigger();
  EXPECT_TRUE(entries(menus.sqmenu).isEmpty());
  EXPECT_EQ(BookmarkFile(app.files, bookId).ids(), QStringList{ids[0]});

  // No selected row: both adds say so.
  list().clearSelection();
  messages.shown.clear();
  menus.N99->trigger();
  menus.N101->trigger();
  EXPECT_EQ(messages.shown, QStringList(2, QStringLiteral("当前没有选中任何章节!")));
}

TEST_F(ReaderInWindow, TemplateEditorPreviewsAndSaves) {
  const QString bank = folder.path(QStringLiteral("book/bank.html"));
  const QString temp = folder.path(QStringLiteral("book/temp.html"));
  const QByteArray original = codec::readtxt(bank);
  // Opened from the main menu and the configuration drop-down.
  EXPECT_TRUE(main->N35->isEnabled());
  EXPECT_TRUE(main->N23->isEnabled());
  Tviewmodeform form(folder, makeFakeHtmlView);
  auto &preview = static_cast<FakeHtmlView &>(*form.viewmode);
  form.show(); // every opening reloads from the template
  EXPECT_EQ(preview.loads.last(), QUrl::fromLocalFile(bank).toString());
  EXPECT_EQ(form.values().bodySize, QStringLiteral("12"));
  EXPECT_TRUE(form.headblod->isChecked());

  form.bodysize->setValue(14);
  form.RzBitBtn3->click(); // "预览"
  EXPECT_EQ(preview.loads.last(), QUrl::fromLocalFile(temp).toString());
  EXPECT_TRUE(codec::decode(codec::readtxt(temp)).contains(QLatin1String("font-size:14pt;")));
  EXPECT_EQ(codec::readtxt(bank), original);
  // The preview shows the fixed sample.
  preview.finishLoad(QUrl::fromLocalFile(temp), kBody);
  EXPECT_TRUE(preview.body.contains(Tviewmodeform::sampleTitle()));
  EXPECT_TRUE(preview.body.contains(QStringLiteral("蓦然回首神仙地")));

  form.RzBitBtn1->click(); // "重置"
  EXPECT_EQ(form.bodysize->value(), 12);
  form.bodysize->setValue(16);
  form.RzBitBtn4->click(); // "确认保存"
  const QString saved = codec::decode(codec::readtxt(bank));
  EXPECT_TRUE(saved.contains(QLatin1String("font-size:16pt;")));
  EXPECT_TRUE(saved.contains(QLatin1String("[[content]]")));
  EXPECT_EQ(form.result(), QDialog::Accepted);

  // Without a template the editor starts from the shipped one: saving never writes an empty
  // page.
  QFile::remove(bank);
  Tviewmodeform again(folder, makeFakeHtmlView);
  again.show();
  EXPECT_EQ(again.values().bodyFont, QStringLiteral("宋体"));
  again.RzBitBtn4->click();
  // The same template; colours come back as the editor writes them.
  const QString shipped = codec::decode(original);
  EXPECT_EQ(codec::decode(codec::readtxt(bank)).toStdString(),
            QString(shipped)
                .replace(QLatin1String("background:#FFFFFF"), QLatin1String("background:#ffffff"))
                .replace(QLatin1String("hr{color:#FF9900"), QLatin1String("hr{color:#ff9900"))
                .toStdString());
}

} // namespace
