#pragma once
// A list of rows with check boxes that the user orders by hand: a row dragged onto another row
// lands just in front of it (a drop on itself or outside the rows does nothing), a click on a
// column header sorts by that column, descending and ascending in turn with one direction flag
// for all columns (the first click descending), texts compared as the system's byte strings
// with ASCII letters without regard to case. The search-site configuration and the network
// bookshelf use it. Main thread only.
#include <QTreeWidget>

#include <vector>

namespace inkwren {

class CheckList : public QTreeWidget {
  Q_OBJECT
public:
  explicit CheckList(QWidget *parent = nullptr);

  // Appends a row that can be checked and dragged, but neither edited nor dropped on.
  QTreeWidgetItem *addRow(const QStringList &texts, bool checked);

  // Moves row `from` in front of row `before`; nothing when either is out of range or equal.
  void moveRow(int from, int before);
  // Sorts by a column in the current direction, then turns the direction.
  void sortColumn(int column);
  // Puts the rows in this order (each row exactly once); the current row stays current.
  void reorder(const std::vector<QTreeWidgetItem *> &order);
  std::vector<QTreeWidgetItem *> rows() const;

  void setAllChecked(bool checked);
  void invertChecks();
  static bool isChecked(const QTreeWidgetItem *item) { return item->checkState(0) == Qt::Checked; }

  // Compares two texts as the sorting does (<0, 0, >0).
  static int compareText(const QString &a, const QString &b);

protected:
  void dragMoveEvent(QDragMoveEvent *e) override;
  void dropEvent(QDropEvent *e) override;

private:
  bool ascending_ = false;
};

} // namespace inkwren
