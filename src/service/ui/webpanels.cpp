#include "service/ui/webpanels.h"

#include "core/ui/htmlview.h"
#include "core/ui/pagemask.h"
#include "core/ui/shellhost.h"
#include "rules/urlparams.h"
#include "shelf/ui/platform.h"

#include <QAction>
#include <QPainter>
#include <QPainterPath>
#include <QTreeWidget>
#include <QUrl>

namespace inkwren {
namespace {

constexpr int kPathRole = Qt::UserRole + 1;

// The tree's pictures: a cup for the root, a ribbon for a list, a page for an entry (filled
// when selected). Drawn at twice the size so they stay sharp on dense screens.
QIcon picture(int which) {
  QIcon icon;
  for (bool selected : {false, true}) {
    QPixmap pm(32, 32);
    pm.setDevicePixelRatio(2);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (which == 0) {
      p.setPen(QPen(QColor(0xb0, 0x7d, 0x12), 1));
      p.setBrush(QColor(0xf2, 0xc1, 0x3d));
      QPainterPath cup;
      cup.moveTo(4, 2);
      cup.lineTo(12, 2);
      cup.cubicTo(12, 8, 10, 9.5, 8, 9.5);
      cup.cubicTo(6, 9.5, 4, 8, 4, 2);
      p.drawPath(cup);
      p.drawRect(QRectF(7, 9.5, 2, 3));
      p.drawRoundedRect(QRectF(4.5, 12.5, 7, 2), 0.8, 0.8);
    } else if (which == 1) {
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(0xd9, 0x4f, 0x3d));
      QPainterPath ribbon;
      ribbon.moveTo(3.5, 1.5);
      ribbon.lineTo(12.5, 1.5);
      ribbon.lineTo(12.5, 14.5);
      ribbon.lineTo(8, 11);
      ribbon.lineTo(3.5, 14.5);
      ribbon.closeSubpath();
      p.drawPath(ribbon);
    } else {
      p.setPen(QColor(0x6b, 0x73, 0x84));
      p.setBrush(selected ? QColor(0x3d, 0x7e, 0xc7) : QColor(0xff, 0xff, 0xff));
      p.drawRoundedRect(QRectF(3.5, 1.5, 9, 13), 1, 1);
      p.setPen(selected ? QColor(0xff, 0xff, 0xff) : QColor(0xa0, 0xa7, 0xb3));
      for (int y : {5, 8, 11})
        p.drawLine(QPointF(5.5, y), QPointF(10.5, y));
    }
    p.end();
    icon.addPixmap(pm, selected ? QIcon::Selected : QIcon::Normal);
  }
  return icon;
}

} // namespace

WebPanels::WebPanels(ServiceClient &client, ShellHost &shell, UrlOpener &urls, NewBook newbook,
                     QObject *parent)
    : QObject(parent), client_(client), shell_(shell), urls_(urls), newbook_(std::move(newbook)),
      adverts_(client), toptree_(new QTreeWidget) {
  toptree_->setObjectName(QStringLiteral("toptree"));
  toptree_->setHeaderHidden(true);
  connect(toptree_, &QTreeWidget::itemClicked, this, [this] { toptreeview(); });
  connect(toptree_, &QTreeWidget::currentItemChanged, this, [this] { toptreeview(); });
  shell_.installLeftView(RankingsPage, toptree_);
  shell_.onPageChanged([this](int page) { pageChanged(page); });
  shell_.onAdvertisementClick([this] { txtadvlabClick(); });

  if (QAction *refresh = shell_.command(QStringLiteral("refreb")))
    ShellHost::wire(refresh, [this] {
      if (shell_.page() == RankingsPage)
        drawtoptree();
    });
  shell_.wire(QStringLiteral("N42"), [this] { openWebPage(ServiceClient::WebPage::Home); });
  shell_.wire(QStringLiteral("N11"), [this] { openWebPage(ServiceClient::WebPage::Forum); });
  shell_.wire(QStringLiteral("N43"), [this] { openWebPage(ServiceClient::WebPage::Guide); });
  shell_.wire(QStringLiteral("N45"), [this] { openWebPage(ServiceClient::WebPage::Speech); });
  // "意见反馈" on the title bar presses "问题反馈".
  shell_.wire(QStringLiteral("RzToolButton5"), [this] {
    if (QAction *forum = shell_.command(QStringLiteral("N11")))
      forum->trigger();
  });
}

WebPanels::~WebPanels() {
  // The tree belongs to the main window once installed there.
  if (!toptree_->parent())
    delete toptree_;
}

void WebPanels::pageChanged(int page) {
  if (page != ShelfPage && page != RankingsPage)
    return;
  shell_.htmlView().load(QUrl(client_.bookwebPage()));
  if (page == RankingsPage && toptree_->topLevelItemCount() == 0)
    drawtoptree();
}

void WebPanels::drawtoptree() {
  toptree_->clear();
  auto *root = new QTreeWidgetItem(toptree_, {QStringLiteral("小说榜单")});
  root->setIcon(0, picture(0));
  const QIcon listIcon = picture(1), entryIcon = picture(2);
  for (const RankingList &list : client_.toplists()) {
    auto *node = new QTreeWidgetItem(root, {list.name});
    node->setIcon(0, listIcon);
    root->setExpanded(true);
    for (const RankingLink &link : list.links) {
      auto *entry = new QTreeWidgetItem(node, {link.title});
      entry->setIcon(0, entryIcon);
      entry->setData(0, kPathRole, link.path);
    }
  }
}

QString WebPanels::linkPath(const QTreeWidgetItem *item) {
  return item ? item->data(0, kPathRole).toString() : QString();
}

void WebPanels::toptreeview() {
  QTreeWidgetItem *item = toptree_->currentItem();
  if (!item)
    return;
  // Only entry nodes (under a list under the root) have a page of their own.
  const bool entry = item->parent() && item->parent()->parent();
  shell_.htmlView().load(
      QUrl(entry ? client_.rankingPage(linkPath(item)) : client_.bookwebPage()));
}

void WebPanels::urlactdo(const QString &address) {
  if (UrlParams::geturlcansx(address, QStringLiteral("act")) != QLatin1String("addbook"))
    return;
  if (!newbook_)
    return;
  auto param = [&](const char *name) {
    return UrlParams::geturlcansx(address, QString::fromLatin1(name));
  };
  newbook_(param("bookname"), param("authorname"), param("booktype"), param("bookurl"),
           param("yange"));
}

int WebPanels::txtadv() {
  const int next = adverts_.txtadv();
  if (!adverts_.text().isEmpty())
    shell_.setAdvertisement(adverts_.text());
  return next;
}

void WebPanels::txtadvlabClick() {
  if (!adverts_.address().isEmpty())
    urls_.open(adverts_.address());
}

void WebPanels::openWebPage(ServiceClient::WebPage page) {
  urls_.open(client_.webPage(page));
}

} // namespace inkwren
