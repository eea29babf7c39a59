#include "shelf/ui/shelfcontroller.h"

#include "core/messages.h"
#include "shelf/chapterimport.h"
#include "shelf/chaptermarks.h"
#include "shelf/currentbook.h"
#include "shelf/ebook.h"
#include "shelf/ui/booktree.h"
#include "shelf/ui/chapterlist.h"
#include "shelf/ui/latestlist.h"
#include "shelf/ui/platform.h"
#include "shelf/ui/tbtform.h"
#include "shelf/ui/tzjform.h"
#include "shelf/ui/tzjsxform.h"

#include <QAction>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>

namespace inkwren {

ShelfController::ShelfController(Services &services, Bookshelf &shelf, ChapterStore &chapters,
                                 const ChapterFiles &files, CurrentBook &current, BookTree &tree,
                                 ChapterList &list, LatestList &latest, FileDialogs &dialogs,
                                 UrlOpener &urls, ShelfHooks hooks, QWidget *window)
    : services_(services), shelf_(shelf), chapters_(chapters), files_(files), current_(current),
      tree_(tree), list_(list), latest_(latest), dialogs_(dialogs), urls_(urls),
      hooks_(std::move(hooks)), window_(window) {
  buildChapterMenu();
  connect(&tree_, &BookTree::deletePressed, this, &ShelfController::treeDeleteKey);
  connect(list_.header(), &QHeaderView::sectionClicked, this, &ShelfController::headerClicked);
  connect(&list_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint &pos) { zjmenu->popup(list_.viewport()->mapToGlobal(pos)); });
  list_.mayReorder = [this] { return !refuseWhileUpdating(); };
}

ShelfController::~ShelfController() {
  if (!window_) {
    delete btform_;
    delete zjsxform_;
  }
  delete zjmenu;
}

bool ShelfController::refuseWhileUpdating() {
  if (hooks_.updateRunning && hooks_.updateRunning()) {
    services_.messages.tsxx(QStringLiteral("当前下载更新进程执行中，不可以执行该操作!"));
    return true;
  }
  return false;
}

QString ShelfController::bookIdOf(const ShelfNode &node) const {
  return node.kind == ShelfNode::Book && shelf_.getbn(node.id) ? node.id : QString();
}

// ---- shelf menu ----

void ShelfController::bookshuxing(const ShelfNode &node) {
  const QString bookId = bookIdOf(node);
  if (bookId.isEmpty()) {
    services_.messages.tsxx(QStringLiteral("当前没有选中小说!"));
    return;
  }
  if (hooks_.openBookProperties)
    hooks_.openBookProperties(bookId);
}

void ShelfController::bookviewurl(const ShelfNode &node) {
  const QString bookId = bookIdOf(node);
  if (bookId.isEmpty()) {
    services_.messages.tsxx(QStringLiteral("当前没有选中小说!"));
    return;
  }
  urls_.open(shelf_.getbn(bookId)->muluurl);
}

void ShelfController::deleteBook() { shelf_.delebook(bookIdOf(tree_.selectedNode()), false); }

void ShelfController::newCategory() {
  if (!btform_)
    btform_ = new Tbtform(shelf_, window_);
  btform_->prepareNew();
  btform_->exec();
}

void ShelfController::editCategory() {
  const ShelfNode node = tree_.selectedNode();
  const TPItem *category = node.kind == ShelfNode::Category ? shelf_.category(node.id) : nullptr;
  if (!category) {
    services_.messages.tsxx(QStringLiteral("当前未选中小说分类!"));
    return;
  }
  if (!btform_)
    btform_ = new Tbtform(shelf_, window_);
  btform_->prepareEdit(category->id, category->name);
  btform_->exec();
}

void ShelfController::deleteCategory() {
  const ShelfNode node = tree_.selectedNode();
  if (node.kind != ShelfNode::Category || !shelf_.category(node.id)) {
    services_.messages.tsxx(QStringLiteral("当前未选中小说分类!"));
    return;
  }
  if (!services_.messages.qrxx(
          QStringLiteral("确实要删除当前分类？删除的同时将删除分类下所有小说！")))
    return;
  shelf_.delebookt(node.id);
}

void ShelfController::makeebook(const ShelfNode &node) {
  const QString bookId = bookIdOf(node);
  if (bookId.isEmpty()) {
    services_.messages.tsxx(QStringLiteral("当前没有选中小说!"));
    return;
  }
  QString path = dialogs_.saveFile(window_, QStringLiteral("制作电子书"),
                                   shelf_.getbn(bookId)->name + QStringLiteral(".txt"),
                                   FileDialogs::textFilter());
  if (path.isEmpty())
    return;
  path = Ebook::ebookPath(path);
  if (QFileInfo::exists(path) &&
      !services_.messages.qrxx(QStringLiteral("文件已存在，是否覆盖？")))
    return;
  Ebook(chapters_, files_).makeebook(bookId, path, true);
}

void ShelfController::treeDeleteKey() {
  if (tree_.selectedNode().kind == ShelfNode::Book)
    deleteBook();
  else
    deleteCategory();
}

void ShelfController::bookPropertiesButton() {
  if (hooks_.pagestate && hooks_.pagestate() == 4)
    bookshuxing({ShelfNode::Book, current_.id()});
  else
    bookshuxing(tree_.selectedNode());
}

void ShelfController::ebookButton() {
  const int page = hooks_.pagestate ? hooks_.pagestate() : 1;
  if (page == 1)
    makeebook(tree_.selectedNode());
  else if (page == 4)
    makeebook({ShelfNode::Book, current_.id()});
}

// ---- chapter list ----

void ShelfController::pick(int which) {
  std::vector<ChapterMark> rows = list_.marks();
  pickChapters(rows, ChapterPick(which));
  list_.applySelection(rows);
}

void ShelfController::mulubiaoj(int mode) {
  if (!current_.isOpen())
    return;
  const auto plan = markPlan(list_.marks(), mode);
  if (!plan)
    return;
  for (std::size_t row : plan->rows)
    ChapterList::setRead(list_.topLevelItem(int(row)), plan->read);
  if (plan->wholeBook)
    chapters_.markAll(current_.id(), plan->read);
  else
    chapters_.mark(current_.id(), plan->ids, plan->read);
  shelf_.redrawbookx(current_.id());
}

void ShelfController::zjdel() {
  if (!list_.selectedRow()) {
    services_.messages.tsxx(QStringLiteral("当前没有选中任何章节!"));
    return;
  }
  if (!services_.messages.qrxx(QStringLiteral("确实要删除选中章节？")))
    return;
  const QString bookId = current_.id();
  for (int i = list_.topLevelItemCount() - 1; i >= 0; --i) {
    QTreeWidgetItem *item = list_.topLevelItem(i);
    if (!item->isSelected())
      continue;
    // A chapter whose row stays (a failing statement) stays listed, with its text.
    if (chapters_.zjdelsql(files_, bookId, ChapterList::chapterId(item)))
      delete item;
  }
  shelf_.redrawbookx(bookId);
}

void ShelfController::bianma(int mode) {
  const QStringList ids = list_.selectedIds();
  if (ids.isEmpty() || !current_.isOpen())
    return;
  conversions_.bianma(files_, current_.id(), ids, mode);
  if (hooks_.showCurrentChapter)
    hooks_.showCurrentChapter();
}

void ShelfController::editChapterText() {
  if (!list_.selectedRow() || !current_.isOpen())
    return;
  Tzjform editor(services_, files_, chapters_, list_, current_, hooks_.pagestate, window_);
  if (!editor.openChapter())
    return;
  editor.exec();
  if (hooks_.showCurrentChapter)
    hooks_.showCurrentChapter();
}

void ShelfController::chapterProperties(int command) {
  if (!current_.isOpen())
    return;
  if (!zjsxform_)
    zjsxform_ = new Tzjsxform(services_, chapters_, list_, current_, urls_, hooks_.pagestate,
                              window_);
  bool ready = true;
  switch (command) {
  case 0:
    ready = zjsxform_->prepareEdit();
    break;
  case 1:
    zjsxform_->prepareNew();
    break;
  default:
    ready = zjsxform_->prepareInsert();
  }
  if (ready)
    zjsxform_->exec();
}

void ShelfController::importFile() {
  if (!current_.isOpen())
    return;
  const QString path = dialogs_.openTextFile(window_);
  if (!path.isEmpty())
    importFile(path);
}

void ShelfController::importFile(const QString &path) {
  if (!current_.isOpen())
    return;
  if (auto row = ChapterImport(chapters_, files_).filetozj(current_.id(), path)) {
    list_.appendChapter(*row);
    shelf_.redrawbookx(current_.id());
  }
}

void ShelfController::sortBy(int mode) {
  if (current_.isOpen())
    list_.zjpaix(mode);
}

void ShelfController::headerClicked(int column) {
  static const struct {
    int column, mode;
    const char *question;
  } kSorts[] = {
      {ChapterList::NameColumn, 1, "确认按章节名称排序？"},
      {ChapterList::TimeColumn, 2, "确认按更新时间排序？"},
      {ChapterList::UrlColumn, 3, "确认按章节地址排序？"},
  };
  for (const auto &s : kSorts)
    if (s.column == column && current_.isOpen() &&
        services_.messages.qrxx(QString::fromUtf8(s.question)))
      list_.zjpaix(s.mode);
}

void ShelfController::toggleMoveLock() {
  list_.setMoveLocked(!list_.moveLocked());
  N112->setChecked(list_.moveLocked());
}

void ShelfController::buildChapterMenu() {
  zjmenu = new QMenu;
  auto item = [this](QMenu *menu, const char *caption, std::function<void()> handler) {
    QAction *a = menu->addAction(QString::fromUtf8(caption));
    if (handler)
      connect(a, &QAction::triggered, this, std::move(handler));
    else
      a->setEnabled(false); // wired by the feature that owns it
    return a;
  };
  QMenu *choose = zjmenu->addMenu(QStringLiteral("选择"));
  N47 = item(choose, "全选", [this] { pick(int(ChapterPick::All)); });
  N52 = item(choose, "反选", [this] { pick(int(ChapterPick::Invert)); });
  choose->addSeparator();
  N49 = item(choose, "选择所有已读章节", [this] { pick(int(ChapterPick::Read)); });
  N50 = item(choose, "选择所有未读章节", [this] { pick(int(ChapterPick::Unread)); });
  choose->addSeparator();
  N53 = item(choose, "选择此章以上所有章节", [this] { pick(int(ChapterPick::Above)); });
  N54 = item(choose, "选择本分卷所有章节", [this] { pick(int(ChapterPick::Volume)); });
  QMenu *mark = zjmenu->addMenu(QStringLiteral("标记"));
  N55 = item(mark, "标记为已读", [this] { mulubiaoj(0); });
  N56 = item(mark, "标记为未读", [this] { mulubiaoj(1); });
  mark->addSeparator();
  N58 = item(mark, "全部标记为已读", [this] { mulubiaoj(3); });
  N59 = item(mark, "全部标记为未读", [this] { mulubiaoj(4); });
  mark->addSeparator();
  N61 = item(mark, "此章以上章节标记为已读", [this] { mulubiaoj(2); });
  QMenu *jump = zjmenu->addMenu(QStringLiteral("跳转"));
  N62 = item(jump, "跳转至未读章节", {});
  N90 = item(jump, "跳转至上一章", {});
  N91 = item(jump, "跳转至下一章", {});
  N63 = item(jump, "跳转至第一章", {});
  N64 = item(jump, "跳转至最后一章", {});
  QMenu *code = zjmenu->addMenu(QStringLiteral("编码"));
  N66 = item(code, "转换为繁体", [this] { bianma(Conversions::ToTraditional); });
  N67 = item(code, "转换为简体", [this] { bianma(Conversions::ToSimplified); });
  Unicode1 = item(code, "Unicode码转换为汉字", [this] { bianma(Conversions::NumericReferences); });
  Unicode1->setEnabled(conversions_.available(Conversions::NumericReferences));
  QMenu *edit = zjmenu->addMenu(QStringLiteral("编辑"));
  N70 = item(edit, "编辑章节内容", [this] { editChapterText(); });
  N71 = item(edit, "编辑章节属性", [this] { chapterProperties(0); });
  QMenu *again = zjmenu->addMenu(QStringLiteral("重新下载"));
  N73 = item(again, "选中章节", {});
  N74 = item(again, "空白章节", {});
  N76 = item(again, "章节名称及分卷名称", {});
  QMenu *add = zjmenu->addMenu(QStringLiteral("添加章节"));
  N93 = item(add, "新增章节", [this] { chapterProperties(1); });
  N94 = item(add, "插入章节", [this] { chapterProperties(2); });
  N80 = item(zjmenu, "导入本地文件", [this] { importFile(); });
  zjmenu->addSeparator();
  QMenu *sort = zjmenu->addMenu(QStringLiteral("章节排序"));
  N95 = item(sort, "按章节名称", [this] { sortBy(1); });
  N96 = item(sort, "按下载时间", [this] { sortBy(2); });
  N97 = item(sort, "按下载地址", [this] { sortBy(3); });
  sort->addSeparator();
  N98 = item(sort, "同步网络顺序", {});
  N112 = item(zjmenu, "移动锁定", [this] { toggleMoveLock(); });
  N112->setCheckable(true);
  N112->setChecked(list_.moveLocked());
  zjmenu->addSeparator();
  N78 = item(zjmenu, "访问章节地址", {});
  N81 = item(zjmenu, "语音朗读", {});
  zjmenu->addSeparator();
  N82 = item(zjmenu, "删除", [this] { zjdel(); });
}

} // namespace inkwren
