#include "core/ui/checklist.h"

#include "core/codec.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>

#include <algorithm>

namespace inkwren {

CheckList::CheckList(QWidget *parent) : QTreeWidget(parent) {
  setRootIsDecorated(false);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::InternalMove);
  header()->setSectionsClickable(true);
  connect(header(), &QHeaderView::sectionClicked, this, &CheckList::sortColumn);
}

QTreeWidgetItem *CheckList::addRow(const QStringList &texts, bool checked) {
  auto *item = new QTreeWidgetItem(this, texts);
  item->setFlags((item->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsDragEnabled) &
                 ~(Qt::ItemIsDropEnabled | Qt::ItemIsEditable));
  item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
  return item;
}

std::vector<QTreeWidgetItem *> CheckList::rows() const {
  std::vector<QTreeWidgetItem *> out;
  for (int i = 0; i < topLevelItemCount(); ++i)
    out.push_back(topLevelItem(i));
  return out;
}

void CheckList::reorder(const std::vector<QTreeWidgetItem *> &order) {
  QTreeWidgetItem *current = currentItem();
  while (topLevelItemCount() > 0)
    takeTopLevelItem(0);
  for (QTreeWidgetItem *item : order)
    addTopLevelItem(item);
  if (current)
    setCurrentItem(current);
}

void CheckList::moveRow(int from, int before) {
  const int count = topLevelItemCount();
  if (from < 0 || from >= count || before < 0 || before >= count || from == before)
    return;
  QTreeWidgetItem *item = takeTopLevelItem(from);
  insertTopLevelItem(before > from ? before - 1 : before, item);
  setCurrentItem(item);
}

int CheckList::compareText(const QString &a, const QString &b) {
  return codec::encode(a).toLower().compare(codec::encode(b).toLower());
}

void CheckList::sortColumn(int column) {
  std::vector<QTreeWidgetItem *> order = rows();
  const bool ascending = ascending_;
  std::stable_sort(order.begin(), order.end(),
                   [column, ascending](QTreeWidgetItem *a, QTreeWidgetItem *b) {
                     const int c = compareText(a->text(column), b->text(column));
                     return ascending ? c < 0 : c > 0;
                   });
  reorder(order);
  ascending_ = !ascending_;
}

void CheckList::setAllChecked(bool checked) {
  for (QTreeWidgetItem *item : rows())
    item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

void CheckList::invertChecks() {
  for (QTreeWidgetItem *item : rows())
    item->setCheckState(0, isChecked(item) ? Qt::Unchecked : Qt::Checked);
}

void CheckList::dragMoveEvent(QDragMoveEvent *e) {
  QTreeWidgetItem *target = itemAt(e->position().toPoint());
  if (target && target != currentItem())
    e->acceptProposedAction();
  else
    e->ignore();
}

void CheckList::dropEvent(QDropEvent *e) {
  QTreeWidgetItem *target = itemAt(e->position().toPoint());
  QTreeWidgetItem *dragged = currentItem();
  if (!target || !dragged || target == dragged) {
    e->ignore();
    return;
  }
  moveRow(indexOfTopLevelItem(dragged), indexOfTopLevelItem(target));
  e->setDropAction(Qt::CopyAction); // the move is done; nothing is removed afterwards
  e->accept();
}

} // namespace inkwren
