#include "service/ui/twebstack.h"

#include "core/codec.h"
#include "core/messages.h"
#include "core/ui/checklist.h"
#include "core/ui/dialogparts.h"
#include "service/networkshelf.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace inkwren {
namespace {} // namespace

Twebstack::Twebstack(ServiceClient &service, NetworkShelf &netshelf, Messages &messages,
                     QWidget *parent)
    : QDialog(parent), service_(service), netshelf_(netshelf), messages_(messages) {
  setObjectName(QStringLiteral("webstack"));
  setWindowTitle(QStringLiteral("我的网络书架"));
  setModal(true);
  auto *layout = new QVBoxLayout(this);

  auto *find = new QHBoxLayout;
  RzEdit1 = new QLineEdit(this);
  RzEdit1->setObjectName(QStringLiteral("RzEdit1"));
  SpeedButton1 = new QToolButton(this);
  SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
  SpeedButton1->setText(QStringLiteral("搜索"));
  RzButton6 = dialogButton(QStringLiteral("刷新"), "RzButton6", this);
  find->addWidget(RzEdit1, 1);
  find->addWidget(SpeedButton1);
  find->addWidget(RzButton6);
  layout->addLayout(find);

  auto *note = new QLabel(QStringLiteral("提示：数据调整后需要保存才能生效!"), this);
  note->setStyleSheet(QStringLiteral("color: #d00000;"));
  layout->addWidget(note);

  RzListView1 = new CheckList(this);
  RzListView1->setObjectName(QStringLiteral("RzListView1"));
  RzListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
  RzListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  RzListView1->setStyleSheet(QStringLiteral("QTreeView::item { border-right: 1px solid #d0d0d0; "
                                            "border-bottom: 1px solid #d0d0d0; }"));
  RzListView1->setHeaderLabels({QStringLiteral("书名"), QStringLiteral("作者"),
                                QStringLiteral("分类"), QStringLiteral("下载地址")});
  RzListView1->setColumnWidth(0, 170);
  RzListView1->setColumnWidth(1, 100);
  RzListView1->setColumnWidth(2, 80);
  RzListView1->header()->setSortIndicatorShown(false);
  layout->addWidget(RzListView1, 1);

  auto *buttons = new QHBoxLayout;
  RzCheckBox1 = new QCheckBox(QStringLiteral("全选"), this);
  RzCheckBox1->setObjectName(QStringLiteral("RzCheckBox1"));
  RzButton1 = dialogButton(QStringLiteral("反选"), "RzButton1", this);
  RzBitBtn2 = dialogButton(QStringLiteral("下载"), "RzBitBtn2", this);
  RzBitBtn1 = dialogButton(QStringLiteral("下载全部"), "RzBitBtn1", this);
  RzBitBtn3 = dialogButton(QStringLiteral("删除"), "RzBitBtn3", this);
  RzBitBtn4 = dialogButton(QStringLiteral("删除全部"), "RzBitBtn4", this);
  RzBitBtn5 = dialogButton(QStringLiteral("保存"), "RzBitBtn5", this);
  RzBitBtn5->setEnabled(false); // until the list has been read from the service
  buttons->addWidget(RzCheckBox1);
  buttons->addWidget(RzButton1);
  buttons->addStretch(1);
  for (QPushButton *b : {RzBitBtn2, RzBitBtn1, RzBitBtn3, RzBitBtn4, RzBitBtn5})
    buttons->addWidget(b);
  layout->addLayout(buttons);

  connect(RzEdit1, &QLineEdit::returnPressed, SpeedButton1, &QToolButton::click);
  connect(SpeedButton1, &QToolButton::clicked, this, &Twebstack::SpeedButton1Click);
  connect(RzButton6, &QPushButton::clicked, this, &Twebstack::RzButton6Click);
  connect(RzCheckBox1, &QCheckBox::clicked, this, &Twebstack::RzCheckBox1Click);
  connect(RzButton1, &QPushButton::clicked, this, &Twebstack::RzButton1Click);
  connect(RzBitBtn2, &QPushButton::clicked, this, &Twebstack::RzBitBtn2Click);
  connect(RzBitBtn1, &QPushButton::clicked, this, &Twebstack::RzBitBtn1Click);
  connect(RzBitBtn3, &QPushButton::clicked, this, &Twebstack::RzBitBtn3Click);
  connect(RzBitBtn4, &QPushButton::clicked, this, &Twebstack::RzBitBtn4Click);
  connect(RzBitBtn5, &QPushButton::clicked, this, &Twebstack::RzBitBtn5Click);
  resize(680, 460);
}

void Twebstack::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  if (parentWidget())
    move(parentWidget()->window()->geometry().center() - rect().center());
  RzButton6Click();
}

void Twebstack::addRow(const StackEntry &entry) {
  RzListView1->addRow({entry.bookname, entry.authorname, entry.booktype, entry.downurl}, false);
}

QList<StackEntry> Twebstack::entries(bool checkedOnly) const {
  QList<StackEntry> out;
  for (int i = 0; i < RzListView1->topLevelItemCount(); ++i) {
    const QTreeWidgetItem *item = RzListView1->topLevelItem(i);
    if (!checkedOnly || item->checkState(0) == Qt::Checked)
      out.append({item->text(0), item->text(1), item->text(2), item->text(3)});
  }
  return out;
}

void Twebstack::RzButton6Click() {
  if (!service_.checklogin())
    return;
  RzListView1->clear();
  // A failed reload leaves the list empty (the client has said "操作失败!"). Saving that empty
  // list would wipe the network shelf although the user never deleted anything, so "保存"
  // waits for a reload that works.
  const std::optional<QList<StackEntry>> books = service_.getstack();
  if (books)
    for (const StackEntry &entry : *books)
      addRow(entry);
  RzBitBtn5->setEnabled(books.has_value());
}

void Twebstack::SpeedButton1Click() {
  const QString text = RzEdit1->text();
  if (text.isEmpty())
    return;
  const int count = RzListView1->topLevelItemCount();
  QTreeWidgetItem *current = RzListView1->currentItem();
  const int selected =
      current && current->isSelected() ? RzListView1->indexOfTopLevelItem(current) : -1;
  auto matches = [&text](const QTreeWidgetItem *item) {
    return item->text(0).contains(text, Qt::CaseSensitive) ||
           item->text(1).contains(text, Qt::CaseSensitive);
  };
  int found = -1;
  for (int i = selected + 1; i < count && found < 0; ++i)
    if (matches(RzListView1->topLevelItem(i)))
      found = i;
  // Wrap round once: from the first row up to and including the selected one.
  for (int i = 0; selected >= 0 && i <= selected && found < 0; ++i)
    if (matches(RzListView1->topLevelItem(i)))
      found = i;
  if (found < 0) {
    messages_.tsxx(QStringLiteral("没有符合条件的记录!"));
    return;
  }
  RzListView1->setFocus();
  RzListView1->setCurrentItem(RzListView1->topLevelItem(found));
  RzListView1->scrollToItem(RzListView1->topLevelItem(found));
}

void Twebstack::RzCheckBox1Click() {
  RzListView1->setAllChecked(RzCheckBox1->isChecked());
}

void Twebstack::RzButton1Click() {
  RzListView1->invertChecks();
}

void Twebstack::RzBitBtn2Click() {
  netshelf_.adddown(entries(true));
}

void Twebstack::RzBitBtn1Click() {
  netshelf_.adddown(entries());
}

void Twebstack::RzBitBtn3Click() {
  if (!messages_.qrxx(QStringLiteral("确认要删除选中书籍？操作后需保存才能生效！")))
    return;
  for (int i = RzListView1->topLevelItemCount() - 1; i >= 0; --i)
    if (RzListView1->topLevelItem(i)->checkState(0) == Qt::Checked)
      delete RzListView1->takeTopLevelItem(i);
}

void Twebstack::RzBitBtn4Click() {
  if (!messages_.qrxx(QStringLiteral("确认要删除全部书籍？操作后需保存才能生效！")))
    return;
  RzListView1->clear();
}

void Twebstack::RzBitBtn5Click() {
  if (!RzBitBtn5->isEnabled())
    return;
  // The client runs the login guard and tells the outcome.
  service_.bookstacksave(entries());
}

void Twebstack::RzListView1ColumnClick(int column) {
  RzListView1->sortColumn(column);
}

void Twebstack::moveRow(int from, int before) {
  RzListView1->moveRow(from, before);
}

} // namespace inkwren
