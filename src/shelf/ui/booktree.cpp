#include "shelf/ui/booktree.h"

#include "shelf/ui/shelficons.h"

#include <QDrag>
#include <QDragMoveEvent>
#include <QKeyEvent>
#include <QMimeData>

namespace inkwren {
namespace {

constexpr int KindRole = Qt::UserRole;
constexpr int IdRole = Qt::UserRole + 1;
const char *const kDragMime = "application/x-inkwren-shelf-node";

} // namespace

BookTree::BookTree(Bookshelf &shelf, QWidget *parent) : QTreeWidget(parent), shelf_(shelf) {
  setObjectName(QStringLiteral("booktree"));
  setHeaderHidden(true);
  setColumnCount(1);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDropIndicatorShown(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setContextMenuPolicy(Qt::CustomContextMenu);
  rebuild();

  connect(&shelf_, &Bookshelf::reset, this, &BookTree::rebuild);
  connect(&shelf_, &Bookshelf::categoryAdded, this, [this](const QString &typeId) {
    if (const TPItem *c = shelf_.category(typeId))
      addCategoryItem(*c);
    root_->setExpanded(true);
  });
  connect(&shelf_, &Bookshelf::categoryChanged, this, [this](const QString &typeId) {
    if (QTreeWidgetItem *item = categoryNode(typeId))
      item->setText(0, shelf_.category(typeId)->name);
  });
  connect(&shelf_, &Bookshelf::categoryRemoved, this,
          [this](const QString &typeId) { delete categoryNode(typeId); });
  connect(&shelf_, &Bookshelf::categoryMoved, this, &BookTree::placeCategory);
  connect(&shelf_, &Bookshelf::bookAdded, this, [this](const QString &bookId) {
    placeBook(bookId);
    if (QTreeWidgetItem *item = getbn(bookId)) {
      item->parent()->setExpanded(true);
      setCurrentItem(item);
    }
  });
  connect(&shelf_, &Bookshelf::bookChanged, this, &BookTree::relabelBook);
  connect(&shelf_, &Bookshelf::bookRemoved, this,
          [this](const QString &bookId) { delete getbn(bookId); });
  connect(&shelf_, &Bookshelf::bookMoved, this, &BookTree::placeBook);
}

void BookTree::rebuild() {
  clear();
  root_ = new QTreeWidgetItem(this);
  root_->setText(0, QStringLiteral("我的书架"));
  root_->setIcon(0, shelfPicture(RootPicture));
  root_->setData(0, KindRole, int(ShelfNode::Root));
  for (const Bookshelf::Category &c : shelf_.categories()) {
    QTreeWidgetItem *item = addCategoryItem(c.item);
    if (root_->childCount() == 1)
      root_->setExpanded(true);
    for (const TPItem &b : c.books)
      addBookItem(item, b);
  }
}

QTreeWidgetItem *BookTree::addCategoryItem(const TPItem &category, int index) {
  auto *item = new QTreeWidgetItem;
  item->setText(0, category.name);
  item->setIcon(0, shelfPicture(CategoryPicture));
  item->setData(0, KindRole, int(ShelfNode::Category));
  item->setData(0, IdRole, category.id);
  if (index < 0)
    root_->addChild(item);
  else
    root_->insertChild(index, item);
  return item;
}

QTreeWidgetItem *BookTree::addBookItem(QTreeWidgetItem *category, const TPItem &book, int index) {
  auto *item = new QTreeWidgetItem;
  item->setData(0, KindRole, int(ShelfNode::Book));
  item->setData(0, IdRole, book.id);
  if (index < 0)
    category->addChild(item);
  else
    category->insertChild(index, item);
  relabelBook(book.id);
  return item;
}

void BookTree::relabelBook(const QString &bookId) {
  QTreeWidgetItem *item = getbn(bookId);
  const TPItem *book = shelf_.getbn(bookId);
  if (!item || !book)
    return;
  item->setText(0, bookLabel(*book));
  item->setIcon(0, shelfPicture(shelf_.isUpdating(bookId) ? UpdatingPicture : BookPicture));
  BoldTreeNode(item, book->noreadcount > 0);
}

// Puts a book's node where the model has it: under its category at its index.
void BookTree::placeBook(const QString &bookId) {
  const QString typeId = shelf_.categoryOf(bookId);
  QTreeWidgetItem *category = categoryNode(typeId);
  if (!category)
    return;
  int index = 0;
  for (const Bookshelf::Category &c : shelf_.categories())
    if (c.item.id == typeId)
      for (std::size_t i = 0; i < c.books.size(); ++i)
        if (c.books[i].id == bookId)
          index = int(i);
  QTreeWidgetItem *item = getbn(bookId);
  const bool wasCurrent = item && currentItem() == item;
  if (item) {
    item->parent()->removeChild(item);
    category->insertChild(index, item);
    relabelBook(bookId);
  } else {
    item = addBookItem(category, *shelf_.getbn(bookId), index);
  }
  if (wasCurrent)
    setCurrentItem(item);
}

void BookTree::placeCategory(const QString &typeId) {
  QTreeWidgetItem *item = categoryNode(typeId);
  if (!item)
    return;
  int index = 0;
  for (std::size_t i = 0; i < shelf_.categories().size(); ++i)
    if (shelf_.categories()[i].item.id == typeId)
      index = int(i);
  const bool expanded = item->isExpanded();
  const bool wasCurrent = currentItem() == item;
  root_->removeChild(item);
  root_->insertChild(index, item);
  item->setExpanded(expanded);
  if (wasCurrent)
    setCurrentItem(item);
}

QTreeWidgetItem *BookTree::getbn(const QString &bookId) const {
  for (int i = 0; i < root_->childCount(); ++i) {
    QTreeWidgetItem *c = root_->child(i);
    for (int j = 0; j < c->childCount(); ++j)
      if (c->child(j)->data(0, IdRole).toString() == bookId)
        return c->child(j);
  }
  return nullptr;
}

QTreeWidgetItem *BookTree::categoryNode(const QString &typeId) const {
  for (int i = 0; i < root_->childCount(); ++i)
    if (root_->child(i)->data(0, IdRole).toString() == typeId)
      return root_->child(i);
  return nullptr;
}

ShelfNode BookTree::nodeOf(const QTreeWidgetItem *item) {
  if (!item)
    return {};
  return {ShelfNode::Kind(item->data(0, KindRole).toInt()), item->data(0, IdRole).toString()};
}

ShelfNode BookTree::selectedNode() const {
  const auto items = selectedItems();
  return nodeOf(items.isEmpty() ? nullptr : items.front());
}

void BookTree::BoldTreeNode(QTreeWidgetItem *item, bool bold) {
  if (!item)
    return;
  QFont f = item->font(0);
  f.setBold(bold);
  item->setFont(0, f);
}

bool BookTree::canDropOn(const QTreeWidgetItem *target) const {
  return shelf_.canDrop(selectedNode(), nodeOf(target));
}

bool BookTree::dropOn(QTreeWidgetItem *target) {
  if (!canDropOn(target))
    return false;
  return shelf_.booktreemove(selectedNode(), nodeOf(target));
}

void BookTree::keyPressEvent(QKeyEvent *e) {
  if (e->key() == Qt::Key_Delete) {
    emit deletePressed();
    return;
  }
  QTreeWidget::keyPressEvent(e);
}

// Drags carry no data of their own: the drop works on the selected node, and the tree is
// changed only by the model's move signals (the default move would delete the source items).
void BookTree::startDrag(Qt::DropActions) {
  const ShelfNode node = selectedNode();
  if (node.kind != ShelfNode::Category && node.kind != ShelfNode::Book)
    return;
  auto *drag = new QDrag(this);
  auto *mime = new QMimeData;
  mime->setData(QLatin1String(kDragMime), node.id.toUtf8());
  drag->setMimeData(mime);
  drag->setPixmap(selectedItems().front()->icon(0).pixmap(16, 16));
  drag->exec(Qt::MoveAction);
}

void BookTree::dragEnterEvent(QDragEnterEvent *e) {
  if (e->source() == this && e->mimeData()->hasFormat(QLatin1String(kDragMime)))
    e->acceptProposedAction();
  else
    e->ignore();
}

void BookTree::dragMoveEvent(QDragMoveEvent *e) {
  if (e->source() == this && canDropOn(itemAt(e->position().toPoint())))
    e->acceptProposedAction();
  else
    e->ignore();
}

void BookTree::dropEvent(QDropEvent *e) {
  if (e->source() != this) {
    e->ignore();
    return;
  }
  dropOn(itemAt(e->position().toPoint()));
  e->setDropAction(Qt::IgnoreAction);
  e->accept();
}

} // namespace inkwren
