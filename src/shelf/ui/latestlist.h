#pragma once
// The latest-updates list newdlv of the page "最新更新": the 100 newest shown chapters of all
// books with the columns "小说", "章节", "更新时间", "字数", "分卷名称", "目录地址", picture 4 or 5,
// and the book id and chapter id kept hidden in every row. Single selection. Main thread only.
#include "shelf/chapterstore.h"

#include <QTreeWidget>

namespace inkwren {

class LatestList : public QTreeWidget {
  Q_OBJECT
public:
  enum Column { BookColumn, NameColumn, TimeColumn, WordsColumn, VolumeColumn, UrlColumn };

  explicit LatestList(ChapterStore &store, QWidget *parent = nullptr);

  void drawnewdlv();
  QTreeWidgetItem *getnzjTListItem(const QString &bookId, const QString &chapterId) const;
  static QString bookId(const QTreeWidgetItem *item);
  static QString chapterId(const QTreeWidgetItem *item);
  static bool isRead(const QTreeWidgetItem *item);
  static void setRead(QTreeWidgetItem *item, bool read);

private:
  ChapterStore &store_;
};

} // namespace inkwren
