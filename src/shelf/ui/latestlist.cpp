#include "shelf/ui/latestlist.h"

#include "shelf/ui/shelficons.h"

namespace inkwren {
namespace {

constexpr int BookRole = Qt::UserRole;
constexpr int ChapterRole = Qt::UserRole + 1;
constexpr int ReadRole = Qt::UserRole + 2;

} // namespace

LatestList::LatestList(ChapterStore &store, QWidget *parent) : QTreeWidget(parent), store_(store) {
  setObjectName(QStringLiteral("newdlv"));
  setHeaderLabels({QStringLiteral("小说"), QStringLiteral("章节"), QStringLiteral("更新时间"),
                   QStringLiteral("字数"), QStringLiteral("分卷名称"), QStringLiteral("目录地址")});
  setColumnWidth(BookColumn, 100);
  setColumnWidth(NameColumn, 200);
  setColumnWidth(TimeColumn, 130); // "2024-05-01 12:30:00" without eliding
  setColumnWidth(WordsColumn, 64);
  setColumnWidth(VolumeColumn, 80);
  setColumnWidth(UrlColumn, 200);
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
}

void LatestList::drawnewdlv() {
  clear();
  auto rows = store_.latest(100);
  if (!rows)
    return;
  for (const LatestRow &r : *rows) {
    auto *item = new QTreeWidgetItem(this);
    item->setText(BookColumn, r.bookName);
    item->setText(NameColumn, r.chapter.name);
    item->setText(TimeColumn, r.chapter.addtime);
    item->setText(WordsColumn, QString::number(r.chapter.words));
    item->setText(VolumeColumn, r.chapter.volume);
    item->setText(UrlColumn, r.chapter.url);
    item->setData(0, BookRole, r.bookId);
    item->setData(0, ChapterRole, r.chapter.id);
    setRead(item, r.chapter.readstate == 1);
  }
}

QTreeWidgetItem *LatestList::getnzjTListItem(const QString &bookId,
                                             const QString &chapterId) const {
  for (int i = 0; i < topLevelItemCount(); ++i) {
    QTreeWidgetItem *item = topLevelItem(i);
    if (LatestList::bookId(item) == bookId && LatestList::chapterId(item) == chapterId)
      return item;
  }
  return nullptr;
}

QString LatestList::bookId(const QTreeWidgetItem *item) {
  return item ? item->data(0, BookRole).toString() : QString();
}

QString LatestList::chapterId(const QTreeWidgetItem *item) {
  return item ? item->data(0, ChapterRole).toString() : QString();
}

bool LatestList::isRead(const QTreeWidgetItem *item) {
  return item && item->data(0, ReadRole).toBool();
}

void LatestList::setRead(QTreeWidgetItem *item, bool read) {
  item->setData(0, ReadRole, read);
  item->setIcon(0, shelfPicture(read ? ReadPicture : UnreadPicture));
}

} // namespace inkwren
