#include "shelf/ui/tzjsxform.h"

#include "core/messages.h"
#include "core/ui/dialogparts.h"
#include "shelf/chapterstore.h"
#include "shelf/currentbook.h"
#include "shelf/ui/chapterlist.h"
#include "shelf/ui/platform.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace inkwren {

Tzjsxform::Tzjsxform(Services &services, ChapterStore &store, ChapterList &list,
                     CurrentBook &current, UrlOpener &urls, std::function<int()> pagestate,
                     QWidget *parent)
    : QDialog(parent), services_(services), store_(store), list_(list), current_(current),
      urls_(urls), pagestate_(std::move(pagestate)) {
  setObjectName(QStringLiteral("zjsxform"));
  setWindowTitle(QStringLiteral("章节属性"));
  auto *layout = new QVBoxLayout(this);
  auto *form = new QFormLayout;
  zjnm = new QLineEdit(this);
  fjnm = new QLineEdit(this);
  zjml = new QLineEdit(this);
  RzBitBtn1 = new QPushButton(this);
  RzBitBtn1->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
  RzBitBtn1->setToolTip(QStringLiteral("访问章节地址"));
  RzBitBtn1->setAutoDefault(false);
  auto *urlRow = new QHBoxLayout;
  urlRow->addWidget(zjml, 1);
  urlRow->addWidget(RzBitBtn1);
  form->addRow(QStringLiteral("章节名称："), zjnm);
  form->addRow(QStringLiteral("分卷名称："), fjnm);
  form->addRow(QStringLiteral("章节地址："), urlRow);
  layout->addLayout(form);
  auto *buttons = new QHBoxLayout;
  buttons->addStretch(1);
  RzBitBtn2 = new QPushButton(QStringLiteral("修改"), this);
  RzBitBtn2->setAutoDefault(false);
  markPrimary(RzBitBtn2);
  RzBitBtn3 = new QPushButton(QStringLiteral("取消"), this);
  RzBitBtn3->setAutoDefault(false);
  buttons->addWidget(RzBitBtn2);
  buttons->addWidget(RzBitBtn3);
  layout->addLayout(buttons);
  connect(RzBitBtn1, &QPushButton::clicked, this, [this] {
    if (!zjml->text().trimmed().isEmpty())
      urls_.open(zjml->text().trimmed());
  });
  connect(RzBitBtn2, &QPushButton::clicked, this, &Tzjsxform::RzBitBtn2Click);
  connect(RzBitBtn3, &QPushButton::clicked, this, &QDialog::reject);
  resize(420, sizeHint().height());
}

bool Tzjsxform::prepareEdit() {
  QTreeWidgetItem *item = list_.selectedRow();
  if (!item)
    return false;
  chapterId_ = ChapterList::chapterId(item);
  zjnm->setText(item->text(ChapterList::NameColumn));
  fjnm->setText(item->text(ChapterList::VolumeColumn));
  zjml->setText(item->text(ChapterList::UrlColumn));
  RzBitBtn2->setText(QStringLiteral("修改"));
  return true;
}

void Tzjsxform::prepareNew() {
  chapterId_.clear();
  zjnm->clear();
  fjnm->clear();
  zjml->clear();
  RzBitBtn2->setText(QStringLiteral("新增"));
}

bool Tzjsxform::prepareInsert() {
  QTreeWidgetItem *item = list_.selectedRow();
  if (!item)
    return false;
  prepareNew();
  chapterId_ = ChapterList::chapterId(item);
  RzBitBtn2->setText(QStringLiteral("插入"));
  return true;
}

void Tzjsxform::RzBitBtn2Click() {
  if (zjnm->text().isEmpty()) {
    services_.messages.tsxx(QStringLiteral("章节名称不可为空!"));
    return;
  }
  const QString mode = RzBitBtn2->text();
  const bool ok = mode == QStringLiteral("修改") ? editzjsx() : newzj(mode == QStringLiteral("插入"));
  if (!ok) {
    services_.messages.tsxx(QStringLiteral("操作失败!"));
    return;
  }
  accept();
}

bool Tzjsxform::editzjsx() {
  if (pagestate_ && pagestate_() != 4)
    return true;
  if (!store_.editzjsx(current_.id(), chapterId_, zjnm->text(), fjnm->text(), zjml->text()))
    return false;
  if (QTreeWidgetItem *item = list_.getzjTListItem(chapterId_)) {
    item->setText(ChapterList::NameColumn, zjnm->text());
    item->setText(ChapterList::VolumeColumn, fjnm->text());
    item->setText(ChapterList::UrlColumn, zjml->text());
  }
  return true;
}

bool Tzjsxform::newzj(bool insert) {
  auto row = store_.addChapter(current_.id(), zjnm->text(), fjnm->text(), zjml->text());
  if (!row)
    return false;
  QTreeWidgetItem *added = list_.appendChapter(*row);
  if (insert)
    list_.zjmove(added, list_.getzjTListItem(chapterId_));
  return true;
}

} // namespace inkwren
