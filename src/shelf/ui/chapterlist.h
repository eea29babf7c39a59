#pragma once
// The chapter list mululv of the page "当前阅读": the shown chapters of the current book with
// the columns "章节", "字数", "分卷名称", "更新时间", "下载地址", picture 4 (unread) or 5 (read)
// and the chapter id kept hidden in every row. Chapters are dragged to a new place unless the
// move lock is on (it is at start).
// Main thread only, except checkredrawmulu, which any thread may call.
#include "shelf/chaptermarks.h"
#include "shelf/chapterstore.h"

#include <QTreeWidget>

#include <functional>

namespace inkwren {

class CurrentBook;

class ChapterList : public QTreeWidget {
  Q_OBJECT
public:
  enum Column { NameColumn, WordsColumn, VolumeColumn, TimeColumn, UrlColumn };

  ChapterList(ChapterStore &store, CurrentBook &current, QWidget *parent = nullptr);

  // Refills the list with the current book's chapters in order mode 0..3.
  void drawmulu(int mode = 0);
  // After an update of bookId: when it is the current book, refills in the book's order
  // keeping the selection, without announcing a selection change meanwhile.
  void checkredrawmulu(const QString &bookId);

  QTreeWidgetItem *getzjTListItem(const QString &chapterId) const;
  QTreeWidgetItem *appendChapter(const ChapterRow &row);
  QTreeWidgetItem *insertChapter(int index, const ChapterRow &row);
  static QString chapterId(const QTreeWidgetItem *item);
  static bool isRead(const QTreeWidgetItem *item);
  static void setRead(QTreeWidgetItem *item, bool read);
  // The first selected row in list order, or null.
  QTreeWidgetItem *selectedRow() const;
  QStringList selectedIds() const; // in list order
  QStringList ids() const;         // all rows in list order

  // The rows as the selection and marking commands see them, and applying a new selection.
  std::vector<ChapterMark> marks() const;
  void applySelection(const std::vector<ChapterMark> &rows);

  // Moves row moved before row target, in the list and in the library.
  void zjmove(QTreeWidgetItem *moved, QTreeWidgetItem *target);
  // Sorts by mode 1..3 and stores the new order as keys 1, 2, 3, ….
  void zjpaix(int mode);

  bool moveLocked() const { return moveLocked_; }
  void setMoveLocked(bool locked) { moveLocked_ = locked; }
  // Whether the selected row may be dropped on target (the lock is off, target another row).
  bool canDropOn(const QTreeWidgetItem *target) const;

  // Asked before a drag move or a sort: false refuses it (an update is running).
  std::function<bool()> mayReorder;

protected:
  void startDrag(Qt::DropActions actions) override;
  void dragEnterEvent(QDragEnterEvent *e) override;
  void dragMoveEvent(QDragMoveEvent *e) override;
  void dropEvent(QDropEvent *e) override;

private:
  void fillItem(QTreeWidgetItem *item, const ChapterRow &row);

  ChapterStore &store_;
  CurrentBook &current_;
  bool moveLocked_ = true;
};

} // namespace inkwren
