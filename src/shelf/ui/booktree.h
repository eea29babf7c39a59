#pragma once
// The shelf tree booktree: the root "我的书架", one node per category, one per book, mirroring
// the Bookshelf model. A book's label carries its unread count and is bold while that is above
// 0; a book being updated shows picture 3. Categories and books are moved by drag and drop.
// Main thread only.
#include "shelf/bookshelf.h"

#include <QTreeWidget>

namespace inkwren {

class BookTree : public QTreeWidget {
  Q_OBJECT
public:
  explicit BookTree(Bookshelf &shelf, QWidget *parent = nullptr);

  Bookshelf &shelf() { return shelf_; }

  QTreeWidgetItem *root() const { return root_; }
  // The node of a book / category, or null.
  QTreeWidgetItem *getbn(const QString &bookId) const;
  QTreeWidgetItem *categoryNode(const QString &typeId) const;
  // What a tree item stands for (None for null).
  static ShelfNode nodeOf(const QTreeWidgetItem *item);
  ShelfNode selectedNode() const;
  // Sets or clears the bold state of a node; null is ignored.
  static void BoldTreeNode(QTreeWidgetItem *item, bool bold);

  // Whether the selected node may be dropped on target, and the drop itself.
  bool canDropOn(const QTreeWidgetItem *target) const;
  bool dropOn(QTreeWidgetItem *target);

signals:
  void deletePressed(); // the Delete key on the tree

protected:
  void keyPressEvent(QKeyEvent *e) override;
  void startDrag(Qt::DropActions actions) override;
  void dragEnterEvent(QDragEnterEvent *e) override;
  void dragMoveEvent(QDragMoveEvent *e) override;
  void dropEvent(QDropEvent *e) override;

private:
  void rebuild();
  QTreeWidgetItem *addCategoryItem(const TPItem &category, int index = -1);
  QTreeWidgetItem *addBookItem(QTreeWidgetItem *category, const TPItem &book, int index = -1);
  void relabelBook(const QString &bookId);
  void placeBook(const QString &bookId);
  void placeCategory(const QString &typeId);

  Bookshelf &shelf_;
  QTreeWidgetItem *root_ = nullptr;
};

} // namespace inkwren
