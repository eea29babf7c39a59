// The bookshelf's widgets on a real library in a temporary data folder.
#include "core/codec.h"
#include "core/database.h"
#include "core/datafolder.h"
#include "core/settings.h"
#include "data_fixture.h"
#include "shelf/bookshelf.h"
#include "shelf/chapterfiles.h"
#include "shelf/chapterstore.h"
#include "shelf/currentbook.h"
#include "shelf/ui/booktree.h"
#include "shelf/ui/chapterlist.h"
#include "shelf/ui/findreplacedialog.h"
#include "shelf/ui/latestlist.h"
#include "shelf/ui/platform.h"
#include "shelf/ui/shelficons.h"
#include "shelf/ui/tbtform.h"
#include "shelf/ui/shelfcontroller.h"
#include "shelf/ui/tzjform.h"
#include "shelf/ui/tzjsxform.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace inkwren;
using namespace inkwren::test;

namespace {

struct ShelfViews : DataFixture {
  CurrentBook current;
  Bookshelf shelf{services, current};
  ChapterStore chapters{db};
  ChapterFiles files{folder};
  BookTree tree{shelf};
  ChapterList list{chapters, current};
  LatestList latest{chapters};
  FakeFileDialogs dialogs;
  RecordedUrls urls;
  int page = 4;
  bool updating = false;
  std::unique_ptr<ShelfController> controller;

  void SetUp() override {
    DataFixture::SetUp();
    openLibrary();
    ShelfHooks hooks;
    hooks.pagestate = [this] { return page; };
    hooks.updateRunning = [this] { return updating; };
    controller = std::make_unique<ShelfController>(services, shelf, chapters, files, current,
                                                   tree, list, latest, dialogs, urls, hooks);
  }
  QString exec(const QString &sql, const QVariantList &values = {}) {
    db.exec(sql, values);
    return QString::number(db.lastInsertId());
  }
  QString category(const QString &name, int paix) {
    return exec(QStringLiteral("insert into book_type (typename,paix) values (?,?)"), {name, paix});
  }
  QString book(const QString &typeId, const QString &name, int paix) {
    return exec(QStringLiteral("insert into book_list (typeid,bookname,authorname,muluurl,"
                               "downtype,paix) values (?,?,'a','http://x/',0,?)"),
                {typeId.toLongLong(), name, paix});
  }
  QString chapter(const QString &bookId, const QString &name, int paix, int read = 0,
                  int shown = 1) {
    return exec(QStringLiteral("insert into book_zhangjie (bookid,zhangjiename,fenjuanname,"
                               "zhangjieurl,paix,readstate,shifuxianshi) values (?,?,'V','',?,?,?)"),
                {bookId.toLongLong(), name, paix, read, shown});
  }
  qint64 paixOf(const QString &chapterId) {
    auto r = db.queryOne(QStringLiteral("select paix from book_zhangjie where zhangjieid=?"),
                         {chapterId.toLongLong()});
    return r && *r ? (*r)->integer(QStringLiteral("paix")) : -1;
  }
  QStringList listNames() {
    QStringList names;
    for (int i = 0; i < list.topLevelItemCount(); ++i)
      names << list.topLevelItem(i)->text(0);
    return names;
  }
};

TEST_F(ShelfViews, TreeShowsUnreadCountsInBoldAndDropsThemWhenRead) {
  QString t1 = category(QStringLiteral("玄幻"), 1);
  category(QStringLiteral("空"), 2);
  QString b = book(t1, QStringLiteral("书"), 1);
  for (int i = 0; i < 3; ++i)
    chapter(b, QStringLiteral("c%1").arg(i), i + 1);
  chapter(b, QStringLiteral("f1"), 4, 0, 0);
  chapter(b, QStringLiteral("f2"), 5, 0, 0);
  shelf.drawbookpanel();

  ASSERT_EQ(tree.topLevelItemCount(), 1);
  EXPECT_EQ(tree.root()->text(0), QStringLiteral("我的书架"));
  EXPECT_TRUE(tree.root()->isExpanded());
  ASSERT_EQ(tree.root()->childCount(), 2);
  EXPECT_FALSE(tree.root()->child(0)->isExpanded());
  EXPECT_FALSE(tree.root()->child(1)->isExpanded());
  QTreeWidgetItem *node = tree.getbn(b);
  ASSERT_TRUE(node);
  EXPECT_EQ(node->text(0), QStringLiteral("书(3)"));
  EXPECT_TRUE(node->font(0).bold());

  current.set(b, QStringLiteral("书"));
  list.drawmulu(0);
  EXPECT_EQ(list.topLevelItemCount(), 3);
  controller->mulubiaoj(3); // 全部标记为已读
  EXPECT_EQ(node->text(0), QStringLiteral("书"));
  EXPECT_FALSE(node->font(0).bold());
  for (int i = 0; i < list.topLevelItemCount(); ++i)
    EXPECT_TRUE(ChapterList::isRead(list.topLevelItem(i)));

  controller->mulubiaoj(4); // 全部标记为未读: the filtered ones do not count
  EXPECT_EQ(node->text(0), QStringLiteral("书(3)"));
  EXPECT_TRUE(node->font(0).bold());

  shelf.setUpdating(b, true);
  EXPECT_EQ(node->icon(0).cacheKey(), shelfPicture(UpdatingPicture).cacheKey());
}

TEST_F(ShelfViews, CategoryDialogAddsAndRenamesWithItsChecks) {
  category(QStringLiteral("玄幻"), 1);
  shelf.drawbookpanel();
  Tbtform form(shelf);
  form.prepareNew();
  EXPECT_EQ(form.windowTitle(), QStringLiteral("新增小说分类"));
  EXPECT_EQ(form.RzBitBtn1->text(), QStringLiteral("确认添加"));
  form.bookt->setText(QStringLiteral("   "));
  form.RzBitBtn1Click();
  EXPECT_TRUE(messages.shown.isEmpty());
  EXPECT_EQ(tree.root()->childCount(), 1);
  form.bookt->setText(QStringLiteral("玄幻"));
  form.RzBitBtn1Click();
  EXPECT_EQ(messages.shown.last(), QStringLiteral("分类名称重复!"));
  EXPECT_NE(form.result(), QDialog::Accepted);
  // Enter in the name box confirms.
  form.bookt->setText(QStringLiteral("都市"));
  emit form.bookt->returnPressed();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  ASSERT_EQ(tree.root()->childCount(), 2);
  QTreeWidgetItem *added = tree.root()->child(1);
  EXPECT_EQ(added->text(0), QStringLiteral("都市"));

  // Renaming: the selected category, its own name is fine.
  tree.setCurrentItem(tree.root());
  controller->editCategory();
  EXPECT_EQ(messages.shown.last(), QStringLiteral("当前未选中小说分类!"));
  form.prepareEdit(BookTree::nodeOf(added).id, added->text(0));
  EXPECT_EQ(form.RzBitBtn1->text(), QStringLiteral("确认修改"));
  form.setResult(0);
  form.RzBitBtn1Click();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  form.setResult(0);
  form.bookt->setText(QStringLiteral("言情"));
  form.RzBitBtn1Click();
  EXPECT_EQ(added->text(0), QStringLiteral("言情"));
}

TEST_F(ShelfViews, TreeFollowsDropsAndDeletes) {
  QString t1 = category(QStringLiteral("T1"), 1), t2 = category(QStringLiteral("T2"), 2);
  QString a = book(t1, QStringLiteral("a"), 1);
  QString x = book(t2, QStringLiteral("x"), 2), y = book(t2, QStringLiteral("y"), 3);
  chapter(a, QStringLiteral("c"), 1);
  shelf.drawbookpanel();

  tree.setCurrentItem(tree.getbn(a));
  EXPECT_FALSE(tree.canDropOn(tree.categoryNode(t1))); // its own category
  EXPECT_FALSE(tree.canDropOn(tree.root()));
  ASSERT_TRUE(tree.dropOn(tree.getbn(y)));
  QTreeWidgetItem *moved = tree.getbn(a);
  EXPECT_EQ(moved->parent(), tree.categoryNode(t2));
  EXPECT_EQ(tree.categoryNode(t2)->indexOfChild(moved), 1); // x, a, y
  EXPECT_TRUE(moved->font(0).bold());
  EXPECT_EQ(moved->text(0), QStringLiteral("a(1)"));

  // Category before category.
  tree.setCurrentItem(tree.categoryNode(t2));
  ASSERT_TRUE(tree.dropOn(tree.categoryNode(t1)));
  EXPECT_EQ(tree.root()->child(0)->text(0), QStringLiteral("T2"));
  EXPECT_EQ(tree.categoryNode(t2)->childCount(), 3);

  // The Delete key on a category asks the category question; no means nothing happens.
  tree.setCurrentItem(tree.categoryNode(t1));
  messages.answers = {false};
  controller->treeDeleteKey();
  EXPECT_EQ(messages.asked.last(), QStringLiteral("确实要删除当前分类？删除的同时将删除分类下所有小说！"));
  EXPECT_TRUE(tree.categoryNode(t1));
  // On a book it asks the book question.
  tree.setCurrentItem(tree.getbn(x));
  messages.answers = {true};
  controller->treeDeleteKey();
  EXPECT_EQ(messages.asked.last(), QStringLiteral("确认要删除当前小说？"));
  EXPECT_FALSE(tree.getbn(x));
  // A new book is added last and selected.
  auto added = shelf.newbook_do(QStringLiteral("T1"), QStringLiteral("新"), QStringLiteral("某"),
                                QStringLiteral("http://n/"));
  ASSERT_TRUE(added);
  EXPECT_EQ(tree.currentItem(), tree.getbn(*added));
  EXPECT_EQ(tree.getbn(*added)->parent(), tree.categoryNode(t1));
}

TEST_F(ShelfViews, ChapterListPicturesHiddenIdsAndLatestList) {
  QString t = category(QStringLiteral("T"), 1), b = book(t, QStringLiteral("书"), 1);
  QString r = chapter(b, QStringLiteral("read"), 1, 1), u = chapter(b, QStringLiteral("unread"), 2, 0);
  chapter(b, QStringLiteral("filtered"), 3, 0, 0);
  current.set(b, QStringLiteral("书"));
  list.drawmulu(0);
  ASSERT_EQ(list.topLevelItemCount(), 2);
  EXPECT_EQ(list.headerItem()->text(ChapterList::WordsColumn), QStringLiteral("字数"));
  EXPECT_EQ(list.columnWidth(ChapterList::UrlColumn), 300);
  QTreeWidgetItem *first = list.topLevelItem(0);
  EXPECT_EQ(ChapterList::chapterId(first), r);
  EXPECT_EQ(first->icon(0).cacheKey(), shelfPicture(ReadPicture).cacheKey());
  EXPECT_EQ(list.topLevelItem(1)->icon(0).cacheKey(), shelfPicture(UnreadPicture).cacheKey());
  EXPECT_EQ(list.getzjTListItem(u), list.topLevelItem(1));

  // 标记为已读 on the selected unread row.
  list.topLevelItem(1)->setSelected(true);
  controller->mulubiaoj(0);
  EXPECT_TRUE(ChapterList::isRead(list.topLevelItem(1)));
  EXPECT_EQ(chapters.chapter(b, u)->readstate, 1);

  latest.drawnewdlv();
  ASSERT_EQ(latest.topLevelItemCount(), 2);
  EXPECT_EQ(latest.topLevelItem(0)->text(LatestList::BookColumn), QStringLiteral("书"));
  EXPECT_TRUE(latest.getnzjTListItem(b, u));
  EXPECT_EQ(LatestList::bookId(latest.getnzjTListItem(b, r)), b);
}

TEST_F(ShelfViews, MoveLockBlocksDragsUntilClicked) {
  QString t = category(QStringLiteral("T"), 1), b = book(t, QStringLiteral("书"), 1);
  QStringList ids;
  for (int k = 1; k <= 5; ++k)
    ids << chapter(b, QStringLiteral("k%1").arg(k), k);
  current.set(b, QStringLiteral("书"));
  list.drawmulu(0);
  list.setCurrentItem(list.topLevelItem(4));
  EXPECT_TRUE(controller->N112->isChecked());
  EXPECT_FALSE(list.canDropOn(list.topLevelItem(1)));

  controller->N112->trigger();
  EXPECT_FALSE(controller->N112->isChecked());
  ASSERT_TRUE(list.canDropOn(list.topLevelItem(1)));
  EXPECT_FALSE(list.canDropOn(list.topLevelItem(4))); // not onto itself
  list.zjmove(list.selectedRow(), list.topLevelItem(1));
  EXPECT_EQ(listNames(), (QStringList{"k1", "k5", "k2", "k3", "k4"}));
  EXPECT_EQ(paixOf(ids[4]), 2);
  EXPECT_EQ(paixOf(ids[1]), 3);
  EXPECT_EQ(ChapterList::chapterId(list.selectedRow()), ids[4]);

  // Sorting refuses while an update runs.
  updating = true;
  controller->sortBy(1);
  EXPECT_EQ(messages.shown.last(), QStringLiteral("当前下载更新进程执行中，不可以执行该操作!"));
  EXPECT_EQ(listNames(), (QStringList{"k1", "k5", "k2", "k3", "k4"}));
  updating = false;
  // By column click, after the question.
  messages.answers = {true};
  controller->headerClicked(ChapterList::NameColumn);
  EXPECT_EQ(messages.asked.last(), QStringLiteral("确认按章节名称排序？"));
  EXPECT_EQ(listNames(), (QStringList{"k1", "k2", "k3", "k4", "k5"}));
  EXPECT_EQ(paixOf(ids[4]), 5);
  EXPECT_EQ(ChapterList::chapterId(list.selectedRow()), ids[4]);
}

TEST_F(ShelfViews, RefillAfterAnUpdateKeepsTheSelectionQuietly) {
  QString t = category(QStringLiteral("T"), 1), b = book(t, QStringLiteral("书"), 1);
  chapter(b, QStringLiteral("k1"), 1);
  QString k2 = chapter(b, QStringLiteral("k2"), 2);
  current.set(b, QStringLiteral("书"));
  list.drawmulu(0);
  list.setCurrentItem(list.getzjTListItem(k2));
  chapter(b, QStringLiteral("k0"), 0); // the update added a chapter in front
  int changes = 0;
  QObject::connect(&list, &QTreeWidget::itemSelectionChanged, [&] { ++changes; });
  list.checkredrawmulu(QStringLiteral("999")); // another book: nothing
  EXPECT_EQ(listNames(), (QStringList{"k1", "k2"}));
  list.checkredrawmulu(b);
  EXPECT_EQ(listNames(), (QStringList{"k0", "k1", "k2"}));
  EXPECT_EQ(ChapterList::chapterId(list.selectedRow()), k2);
  EXPECT_EQ(changes, 0);
}

TEST_F(ShelfViews, EditingChapterPropertiesOnTheReadingPage) {
  QString t = category(QStringLiteral("T"), 1), b = book(t, QStringLiteral("书"), 1);
  QString c = chapter(b, QStringLiteral("旧名"), 1);
  current.set(b, QStringLiteral("书"));
  list.drawmulu(0);
  list.setCurrentItem(list.topLevelItem(0));
  Tzjsxform form(services, chapters, list, current, urls, [this] { return page; });
  ASSERT_TRUE(form.prepareEdit());
  EXPECT_EQ(form.zjnm->text(), QStringLiteral("旧名"));
  EXPECT_EQ(form.RzBitBtn2->text(), QStringLiteral("修改"));
  form.zjnm->setText(QStringLiteral("新'名\""));
  form.fjnm->setText(QStringLiteral("卷二"));
  form.zjml->setText(QStringLiteral("  http://s/2  "));
  form.RzBitBtn1->click();
  EXPECT_EQ(urls.opened, QStringList{QStringLiteral("http://s/2")});
  form.RzBitBtn2Click();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  auto stored = chapters.chapter(b, c);
  EXPECT_EQ(stored->name, QStringLiteral("新'名\""));
  EXPECT_EQ(stored->volume, QStringLiteral("卷二"));
  EXPECT_EQ(list.topLevelItem(0)->text(ChapterList::VolumeColumn), QStringLiteral("卷二"));

  // A failing statement says "操作失败!" and keeps the dialog open.
  form.setResult(0);
  db.connectionend();
  form.RzBitBtn2Click();
  EXPECT_EQ(messages.shown.last(), QStringLiteral("操作失败!"));
  EXPECT_NE(form.result(), QDialog::Accepted);
}

TEST_F(ShelfViews, ConvertingSelectedChaptersShowsTheChapterAgain) {
  QString t = category(QStringLiteral("T"), 1), b = book(t, QStringLiteral("书"), 1);
  QString c1 = chapter(b, QStringLiteral("c1"), 1), c2 = chapter(b, QStringLiteral("c2"), 2);
  ASSERT_TRUE(files.writeChapter(b, c1, codec::encode(QStringLiteral("简体"))));
  ASSERT_TRUE(files.writeChapter(b, c2, codec::encode(QStringLiteral("简体"))));
  int shown = 0;
  controller->hooks().showCurrentChapter = [&] { ++shown; };
  current.set(b, QStringLiteral("书"));
  list.drawmulu(0);
  controller->N66->trigger(); // nothing selected: nothing happens
  EXPECT_EQ(shown, 0);
  list.topLevelItem(1)->setSelected(true);
  controller->N66->trigger();
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(codec::decode(files.readChapter(b, c2)), QStringLiteral("簡體\r\n"));
  EXPECT_EQ(codec::decode(files.readChapter(b, c1)), QStringLiteral("简体\r\n"));
}

TEST_F(ShelfViews, InsertingAChapterPutsItBeforeTheSelectedOne) {
  QString t = category(QStringLiteral("T"), 1), b = book(t, QStringLiteral("书"), 1);
  QStringList ids;
  for (int k = 1; k <= 9; ++k)
    ids << chapter(b, QStringLiteral("k%1").arg(k), k);
  current.set(b, QStringLiteral("书"));
  list.drawmulu(0);
  list.setCurrentItem(list.topLevelItem(6));
  Tzjsxform form(services, chapters, list, current, urls, [] { return 4; });
  ASSERT_TRUE(form.prepareInsert());
  form.RzBitBtn2Click();
  EXPECT_EQ(messages.shown.last(), QStringLiteral("章节名称不可为空!"));
  form.zjnm->setText(QStringLiteral("插入的"));
  form.RzBitBtn2Click();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(list.topLevelItem(6)->text(0), QStringLiteral("插入的"));
  EXPECT_EQ(paixOf(ChapterList::chapterId(list.topLevelItem(6))), 7);
  EXPECT_EQ(paixOf(ids[6]), 8);
  EXPECT_EQ(paixOf(ids[8]), 10);
}

TEST_F(ShelfViews, DeletingChaptersAndTheEbookCommand) {
  QString t = category(QStringLiteral("T"), 1), b = book(t, QStringLiteral("书"), 1);
  QString c1 = chapter(b, QStringLiteral("C1"), 1), c2 = chapter(b, QStringLiteral("C2"), 2);
  ASSERT_TRUE(files.writeChapter(b, c2, "T2"));
  shelf.drawbookpanel();
  current.set(b, QStringLiteral("书"));
  list.drawmulu(0);

  controller->zjdel();
  EXPECT_EQ(messages.shown.last(), QStringLiteral("当前没有选中任何章节!"));
  list.topLevelItem(0)->setSelected(true);
  messages.answers = {true};
  controller->zjdel();
  EXPECT_EQ(messages.asked.last(), QStringLiteral("确实要删除选中章节？"));
  EXPECT_EQ(listNames(), QStringList{"C2"});
  EXPECT_EQ(tree.getbn(b)->text(0), QStringLiteral("书(1)"));

  // The e-book: ".txt" appended, then the overwrite question on a second export.
  tree.setCurrentItem(tree.getbn(b));
  dialogs.savePath = dir.filePath(QStringLiteral("out"));
  page = 1;
  controller->ebookButton();
  EXPECT_EQ(dialogs.suggestions.last(), QStringLiteral("书.txt"));
  QFile out(dir.filePath(QStringLiteral("out.txt")));
  ASSERT_TRUE(out.open(QIODevice::ReadOnly));
  EXPECT_EQ(out.readAll(), QByteArray("V C2\r\n\r\nT2\r\n\r\n\r\n"));
  messages.answers = {false};
  controller->ebookButton();
  EXPECT_EQ(messages.asked.last(), QStringLiteral("文件已存在，是否覆盖？"));
  // No book selected.
  tree.setCurrentItem(tree.root());
  controller->ebookButton();
  EXPECT_EQ(messages.shown.last(), QStringLiteral("当前没有选中小说!"));
  (void)c1;
}

TEST_F(ShelfViews, ChapterEditorReplacesUndoesAndSaves) {
  QString t = category(QStringLiteral("T"), 1), b = book(t, QStringLiteral("书"), 1);
  QString c = chapter(b, QStringLiteral("C"), 1);
  ASSERT_TRUE(files.writeChapter(b, c, codec::encode(QStringLiteral("甲乙甲\r\n第二行"))));
  current.set(b, QStringLiteral("书"));
  list.drawmulu(0);
  list.setCurrentItem(list.topLevelItem(0));
  Tzjform editor(services, files, chapters, list, current, [] { return 4; });
  ASSERT_TRUE(editor.openChapter());
  EXPECT_EQ(editor.Memo1->toPlainText(), QStringLiteral("甲乙甲\n第二行"));

  FindReplaceDialog &fr = editor.findReplace();
  fr.findText->setText(QStringLiteral("甲"));
  fr.replaceText->setText(QStringLiteral("乙"));
  fr.replaceAll();
  EXPECT_EQ(editor.Memo1->toPlainText(), QStringLiteral("乙乙乙\n第二行"));
  // Single-level undo: back, and a second undo restores the change.
  editor.undo();
  EXPECT_EQ(editor.Memo1->toPlainText(), QStringLiteral("甲乙甲\n第二行"));
  editor.undo();
  EXPECT_EQ(editor.Memo1->toPlainText(), QStringLiteral("乙乙乙\n第二行"));

  // A replacement holding its find text ends.
  fr.findText->setText(QStringLiteral("乙"));
  fr.replaceText->setText(QStringLiteral("乙乙"));
  fr.replaceAll();
  EXPECT_EQ(editor.Memo1->toPlainText(), QStringLiteral("乙乙乙乙乙乙\n第二行"));

  // Find Next with everything selected finds nothing after the selection.
  editor.Memo1->selectAll();
  fr.findNext();
  EXPECT_EQ(messages.shown.last(), QStringLiteral("找不到 '乙'"));
  editor.Memo1->moveCursor(QTextCursor::Start);
  fr.findText->setText(QStringLiteral("第二"));
  fr.findNext();
  EXPECT_EQ(editor.Memo1->textCursor().selectedText(), QStringLiteral("第二"));

  ASSERT_TRUE(editor.save());
  EXPECT_EQ(messages.shown.last(), QStringLiteral("保存成功!"));
  EXPECT_EQ(files.readChapter(b, c), codec::encode(QStringLiteral("乙乙乙乙乙乙\r\n第二行\r\n")));
  EXPECT_EQ(chapters.chapter(b, c)->words, 9);
  EXPECT_EQ(list.topLevelItem(0)->text(ChapterList::WordsColumn), QStringLiteral("9"));
}

TEST_F(ShelfViews, ImportAppendsTheChapterToTheList) {
  QString t = category(QStringLiteral("T"), 1), b = book(t, QStringLiteral("书"), 1);
  chapter(b, QStringLiteral("C"), 1, 1);
  shelf.drawbookpanel();
  current.set(b, QStringLiteral("书"));
  list.drawmulu(0);
  QFile src(dir.filePath(QStringLiteral("第五章.new.txt")));
  ASSERT_TRUE(src.open(QIODevice::WriteOnly));
  src.write(codec::encode(QStringLiteral("正文")));
  src.close();
  dialogs.openPath = src.fileName();
  controller->N80->trigger();
  EXPECT_EQ(listNames(), (QStringList{"C", QStringLiteral("第五章")}));
  EXPECT_EQ(list.topLevelItem(1)->text(ChapterList::WordsColumn), QStringLiteral("2"));
  EXPECT_EQ(tree.getbn(b)->text(0), QStringLiteral("书(1)"));
}

} // namespace
