#include "reader/ui/bookmarkmenus.h"

#include "core/messages.h"
#include "reader/bookmarkfile.h"
#include "shelf/bookshelf.h"
#include "shelf/chapterfiles.h"
#include "shelf/chapterstore.h"
#include "shelf/currentbook.h"
#include "shelf/ui/chapterlist.h"

#include <QAction>
#include <QMenu>

namespace inkwren {
namespace {

const QString kNoChapter = QStringLiteral("当前没有选中任何章节!");

} // namespace

BookmarkMenus::BookmarkMenus(Services &services, ChapterStore &chapters, const ChapterFiles &files,
                             Bookshelf &shelf, CurrentBook &current, ChapterList &list,
                             QObject *parent)
    : QObject(parent), sqmenu(new QMenu), glmenu(new QMenu), services_(services),
      chapters_(chapters), files_(files), shelf_(shelf), current_(current), list_(list) {
  sqmenu->setObjectName(QStringLiteral("sqmenu"));
  glmenu->setObjectName(QStringLiteral("glmenu"));
  N99 = sqmenu->addAction(QStringLiteral("加入书签"));
  N99->setObjectName(QStringLiteral("N99"));
  sqmenu->addSeparator();
  N101 = glmenu->addAction(QStringLiteral("加入过滤"));
  N101->setObjectName(QStringLiteral("N101"));
  glmenu->addSeparator();
  connect(N99, &QAction::triggered, this, [this] { N99Click(); });
  connect(N101, &QAction::triggered, this, [this] { N101Click(); });
}

BookmarkMenus::~BookmarkMenus() {
  delete sqmenu;
  delete glmenu;
}

QMenu *BookmarkMenus::entry(QMenu *menu, const QString &name) {
  for (QAction *a : menu->actions())
    if (a->menu() && a->objectName() == name)
      return a->menu();
  return nullptr;
}

void BookmarkMenus::clearEntries(QMenu *menu) {
  const QList<QAction *> actions = menu->actions();
  for (qsizetype i = 2; i < actions.size(); ++i) {
    if (QMenu *sub = actions[i]->menu())
      delete sub; // its entry goes with it
    else
      menu->removeAction(actions[i]);
  }
}

void BookmarkMenus::drawshuqian() {
  clearEntries(sqmenu);
  if (!current_.isOpen())
    return;
  // Records of chapters not in the list (filtered, deleted) stay in the file without an entry.
  for (const QString &id : BookmarkFile(files_, current_.id()).ids())
    if (QTreeWidgetItem *row = list_.getzjTListItem(id))
      newshuqian(id, row->text(ChapterList::NameColumn));
}

void BookmarkMenus::newshuqian(const QString &chapterId, const QString &name) {
  QMenu *sub = sqmenu->addMenu(name);
  sub->menuAction()->setObjectName(QStringLiteral("bm") + chapterId);
  QAction *jump = sub->addAction(QStringLiteral("跳至书签"));
  jump->setObjectName(QStringLiteral("vm") + chapterId);
  QAction *del = sub->addAction(QStringLiteral("删除书签"));
  del->setObjectName(QStringLiteral("dm") + chapterId);
  connect(jump, &QAction::triggered, this, [this, chapterId] { shuqian(chapterId); });
  connect(del, &QAction::triggered, this, [this, chapterId] { delshuqian(chapterId); });
}

void BookmarkMenus::shuqian(const QString &chapterId) {
  if (QTreeWidgetItem *row = list_.getzjTListItem(chapterId)) {
    if (!list_.selectedItems().isEmpty())
      list_.clearSelection();
    list_.setCurrentItem(row);
  }
  if (QTreeWidgetItem *selected = list_.selectedRow())
    list_.scrollToItem(selected);
}

void BookmarkMenus::delshuqian(const QString &chapterId) {
  if (!current_.isOpen())
    return;
  BookmarkFile(files_, current_.id()).remove(chapterId);
  delete entry(sqmenu, QStringLiteral("bm") + chapterId);
}

void BookmarkMenus::N99Click() {
  QTreeWidgetItem *row = list_.selectedRow();
  if (!row || !current_.isOpen()) {
    services_.messages.tsxx(kNoChapter);
    return;
  }
  const QString id = ChapterList::chapterId(row);
  if (BookmarkFile(files_, current_.id()).add(id))
    newshuqian(id, row->text(ChapterList::NameColumn));
}

void BookmarkMenus::drawguolv() {
  clearEntries(glmenu);
  if (!current_.isOpen())
    return;
  const auto rows = chapters_.filtered(current_.id());
  if (!rows)
    return;
  for (const ChapterRow &r : *rows)
    newguolv(r.id, r.name);
}

void BookmarkMenus::newguolv(const QString &chapterId, const QString &name) {
  QMenu *sub = glmenu->addMenu(name);
  sub->menuAction()->setObjectName(QStringLiteral("bg") + chapterId);
  QAction *cancel = sub->addAction(QStringLiteral("取消过滤"));
  cancel->setObjectName(QStringLiteral("dg") + chapterId);
  connect(cancel, &QAction::triggered, this, [this, chapterId] { delguolv(chapterId); });
}

void BookmarkMenus::delguolv(const QString &chapterId) {
  if (!current_.isOpen())
    return;
  // The chapter is shown again, in its place and with its text and read state; its bookmark
  // comes back too.
  const QString bookId = current_.id();
  if (!chapters_.setShown(bookId, chapterId, true))
    return;
  delete entry(glmenu, QStringLiteral("bg") + chapterId);
  list_.checkredrawmulu(bookId);
  drawshuqian();
  shelf_.redrawbookx(bookId);
}

void BookmarkMenus::N101Click() {
  QTreeWidgetItem *row = list_.selectedRow();
  if (!row || !current_.isOpen()) {
    services_.messages.tsxx(kNoChapter);
    return;
  }
  if (!services_.messages.qrxx(
          QStringLiteral("确实要将当前章节设为过滤章节？设置后将不在章节列表中显示！")))
    return;
  const QString bookId = current_.id(), id = ChapterList::chapterId(row);
  const QString name = row->text(ChapterList::NameColumn);
  if (!chapters_.setShown(bookId, id, false))
    return;
  newguolv(id, name);
  delete row;
  delete entry(sqmenu, QStringLiteral("bm") + id);
  shelf_.redrawbookx(bookId);
}

} // namespace inkwren
