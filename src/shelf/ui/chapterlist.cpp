#include "shelf/ui/chapterlist.h"

#include "shelf/currentbook.h"
#include "shelf/ui/shelficons.h"

#include <QDrag>
#include <QDragMoveEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QSignalBlocker>
#include <QThread>

namespace inkwren {
namespace {

constexpr int IdRole = Qt::UserRole;
constexpr int ReadRole = Qt::UserRole + 1;
const char *const kDragMime = "application/x-inkwren-chapter";

} // namespace

ChapterList::ChapterList(ChapterStore &store, CurrentBook &current, QWidget *parent)
    : QTreeWidget(parent), store_(store), current_(current) {
  setObjectName(QStringLiteral("mululv"));
  setHeaderLabels({QStringLiteral("章节"), QStringLiteral("字数"), QStringLiteral("分卷名称"),
                   QStringLiteral("更新时间"), QStringLiteral("下载地址")});
  setColumnWidth(NameColumn, 150);
  setColumnWidth(WordsColumn, 64);
  setColumnWidth(VolumeColumn, 100);
  setColumnWidth(TimeColumn, 130);
  setColumnWidth(UrlColumn, 300);
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setContextMenuPolicy(Qt::CustomContextMenu);
  header()->setSectionsClickable(true);
  header()->setSortIndicatorShown(false);
}

void ChapterList::fillItem(QTreeWidgetItem *item, const ChapterRow &row) {
  item->setText(NameColumn, row.name);
  item->setText(WordsColumn, QString::number(row.words));
  item->setText(VolumeColumn, row.volume);
  item->setText(TimeColumn, row.addtime);
  item->setText(UrlColumn, row.url);
  item->setData(0, IdRole, row.id);
  setRead(item, row.readstate == 1);
}

QTreeWidgetItem *ChapterList::appendChapter(const ChapterRow &row) {
  auto *item = new QTreeWidgetItem(this);
  fillItem(item, row);
  return item;
}

QTreeWidgetItem *ChapterList::insertChapter(int index, const ChapterRow &row) {
  auto *item = new QTreeWidgetItem;
  fillItem(item, row);
  insertTopLevelItem(index, item);
  return item;
}

void ChapterList::drawmulu(int mode) {
  clear();
  if (!current_.isOpen())
    return;
  auto rows = store_.drawmulu(current_.id(), mode);
  if (!rows)
    return;
  for (const ChapterRow &r : *rows)
    appendChapter(r);
}

void ChapterList::checkredrawmulu(const QString &bookId) {
  if (QThread::currentThread() != thread()) {
    QMetaObject::invokeMethod(this, [this, bookId] { checkredrawmulu(bookId); },
                              Qt::QueuedConnection);
    return;
  }
  if (bookId != current_.id())
    return;
  QTreeWidgetItem *sel = selectedRow();
  const QString keep = sel ? chapterId(sel) : QString();
  {
    const QSignalBlocker blockList(this);
    const QSignalBlocker blockSelection(selectionModel());
    drawmulu(0);
    if (QTreeWidgetItem *item = keep.isEmpty() ? nullptr : getzjTListItem(keep)) {
      setCurrentItem(item);
      item->setSelected(true);
    }
  }
  viewport()->update();
  if (QTreeWidgetItem *item = selectedRow())
    scrollToItem(item);
}

QTreeWidgetItem *ChapterList::getzjTListItem(const QString &chapterId) const {
  for (int i = 0; i < topLevelItemCount(); ++i)
    if (topLevelItem(i)->data(0, IdRole).toString() == chapterId)
      return topLevelItem(i);
  return nullptr;
}

QString ChapterList::chapterId(const QTreeWidgetItem *item) {
  return item ? item->data(0, IdRole).toString() : QString();
}

bool ChapterList::isRead(const QTreeWidgetItem *item) {
  return item && item->data(0, ReadRole).toBool();
}

void ChapterList::setRead(QTreeWidgetItem *item, bool read) {
  item->setData(0, ReadRole, read);
  item->setIcon(0, shelfPicture(read ? ReadPicture : UnreadPicture));
}

QTreeWidgetItem *ChapterList::selectedRow() const {
  for (int i = 0; i < topLevelItemCount(); ++i)
    if (topLevelItem(i)->isSelected())
      return topLevelItem(i);
  return nullptr;
}

QStringList ChapterList::selectedIds() const {
  QStringList out;
  for (int i = 0; i < topLevelItemCount(); ++i)
    if (topLevelItem(i)->isSelected())
      out << chapterId(topLevelItem(i));
  return out;
}

QStringList ChapterList::ids() const {
  QStringList out;
  for (int i = 0; i < topLevelItemCount(); ++i)
    out << chapterId(topLevelItem(i));
  return out;
}

std::vector<ChapterMark> ChapterList::marks() const {
  std::vector<ChapterMark> out;
  out.reserve(std::size_t(topLevelItemCount()));
  for (int i = 0; i < topLevelItemCount(); ++i) {
    const QTreeWidgetItem *item = topLevelItem(i);
    out.push_back({chapterId(item), isRead(item), item->text(VolumeColumn), item->isSelected()});
  }
  return out;
}

void ChapterList::applySelection(const std::vector<ChapterMark> &rows) {
  for (int i = 0; i < topLevelItemCount() && std::size_t(i) < rows.size(); ++i)
    topLevelItem(i)->setSelected(rows[std::size_t(i)].selected);
}

void ChapterList::zjmove(QTreeWidgetItem *moved, QTreeWidgetItem *target) {
  if (!moved || !target || moved == target)
    return;
  const bool selected = moved->isSelected();
  auto *copy = moved->clone();
  insertTopLevelItem(indexOfTopLevelItem(target), copy);
  if (selected) {
    setCurrentItem(copy);
    copy->setSelected(true);
  }
  store_.zjmovesql(current_.id(), chapterId(moved), chapterId(target));
  delete moved;
}

void ChapterList::zjpaix(int mode) {
  if (mayReorder && !mayReorder())
    return;
  QTreeWidgetItem *sel = selectedRow();
  const QString keep = sel ? chapterId(sel) : QString();
  drawmulu(mode);
  QTreeWidgetItem *item = keep.isEmpty() ? nullptr : getzjTListItem(keep);
  if (!item)
    item = topLevelItem(0);
  if (item) {
    setCurrentItem(item);
    item->setSelected(true);
    scrollToItem(item);
  }
  store_.zjpaixsql(current_.id(), ids());
}

bool ChapterList::canDropOn(const QTreeWidgetItem *target) const {
  QTreeWidgetItem *sel = selectedRow();
  return !moveLocked_ && sel && target && target != sel;
}

void ChapterList::startDrag(Qt::DropActions) {
  if (moveLocked_ || !selectedRow())
    return;
  auto *drag = new QDrag(this);
  auto *mime = new QMimeData;
  mime->setData(QLatin1String(kDragMime), chapterId(selectedRow()).toUtf8());
  drag->setMimeData(mime);
  drag->exec(Qt::MoveAction);
}

void ChapterList::dragEnterEvent(QDragEnterEvent *e) {
  if (e->source() == this && !moveLocked_)
    e->acceptProposedAction();
  else
    e->ignore();
}

void ChapterList::dragMoveEvent(QDragMoveEvent *e) {
  QTreeWidgetItem *target = itemAt(e->position().toPoint());
  if (e->source() == this && !moveLocked_ && selectedRow() && target != selectedRow())
    e->acceptProposedAction();
  else
    e->ignore();
}

void ChapterList::dropEvent(QDropEvent *e) {
  QTreeWidgetItem *target = itemAt(e->position().toPoint());
  if (e->source() == this && canDropOn(target) && (!mayReorder || mayReorder()))
    zjmove(selectedRow(), target);
  e->setDropAction(Qt::IgnoreAction);
  e->accept();
}

} // namespace inkwren
