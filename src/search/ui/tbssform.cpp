#include "search/ui/tbssform.h"

#include "core/codec.h"
#include "core/messages.h"
#include "core/ui/checklist.h"
#include "core/ui/dialogparts.h"
#include "rules/ruleset.h"
#include "search/searchsites.h"
#include "service/serviceclient.h"

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

namespace inkwren {
namespace {

constexpr int kKeyRole = Qt::UserRole + 1;
const QString kNoService = QStringLiteral("网络服务尚未提供，暂时不能使用");

} // namespace

Tbssform::Tbssform(const SearchSites &sites, RuleSet &rules, Messages &messages, QWidget *parent)
    : QDialog(parent), sites_(sites), rules_(rules), messages_(messages) {
  setObjectName(QStringLiteral("bssform"));
  setWindowTitle(QStringLiteral("搜索配置"));
  auto *layout = new QVBoxLayout(this);
  auto *hint = new QLabel(
      QStringLiteral("提示：配置调整后需要保存才能生效，上传配置后可以在其他电脑上下载！"), this);
  hint->setWordWrap(true);
  layout->addWidget(hint);

  auto *find = new QHBoxLayout;
  skey = new QLineEdit(this);
  skey->setObjectName(QStringLiteral("skey"));
  SpeedButton1 = new QToolButton(this);
  SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
  SpeedButton1->setText(QStringLiteral("搜索"));
  find->addWidget(skey, 1);
  find->addWidget(SpeedButton1);
  layout->addLayout(find);

  ListView1 = new CheckList(this);
  ListView1->setObjectName(QStringLiteral("ListView1"));
  ListView1->setHeaderLabels({QStringLiteral("网站"), QStringLiteral("地址")});
  ListView1->setColumnWidth(0, 160);
  layout->addWidget(ListView1, 1);

  auto *buttons = new QHBoxLayout;
  RzCheckBox1 = new QCheckBox(QStringLiteral("全选"), this);
  RzCheckBox1->setObjectName(QStringLiteral("RzCheckBox1"));
  RzBitBtn1 = dialogButton(QStringLiteral("反选"), "RzBitBtn1", this);
  RzBitBtn3 = dialogButton(QStringLiteral("按启用排序"), "RzBitBtn3", this);
  Button7 = dialogButton(QStringLiteral("刷新重置"), "Button7", this);
  RzBitBtn5 = primaryButton(QStringLiteral("保存"), "RzBitBtn5", this);
  RzBitBtn2 = dialogButton(QStringLiteral("上传"), "RzBitBtn2", this);
  RzBitBtn4 = dialogButton(QStringLiteral("下载"), "RzBitBtn4", this);
  for (QPushButton *b : {RzBitBtn2, RzBitBtn4}) {
    b->setEnabled(false);
    b->setToolTip(kNoService);
  }
  buttons->addWidget(RzCheckBox1);
  for (QPushButton *b : {RzBitBtn1, RzBitBtn3, Button7, RzBitBtn5, RzBitBtn2, RzBitBtn4})
    buttons->addWidget(b);
  layout->addLayout(buttons);

  connect(Button7, &QPushButton::clicked, this, &Tbssform::Button7Click);
  connect(RzCheckBox1, &QCheckBox::clicked, this, &Tbssform::RzCheckBox1Click);
  connect(RzBitBtn1, &QPushButton::clicked, this, &Tbssform::RzBitBtn1Click);
  connect(RzBitBtn3, &QPushButton::clicked, this, &Tbssform::RzBitBtn3Click);
  connect(SpeedButton1, &QToolButton::clicked, this, &Tbssform::SpeedButton1Click);
  connect(skey, &QLineEdit::returnPressed, SpeedButton1, &QToolButton::click);
  connect(RzBitBtn5, &QPushButton::clicked, this, &Tbssform::RzBitBtn5Click);
  connect(RzBitBtn2, &QPushButton::clicked, this, &Tbssform::RzBitBtn2Click);
  connect(RzBitBtn4, &QPushButton::clicked, this, &Tbssform::RzBitBtn4Click);
  resize(560, 460);
}

void Tbssform::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  Button7Click();
}

void Tbssform::Button7Click() {
  ListView1->clear();
  for (const SiteRow &r : sites_.loadRows()) {
    QTreeWidgetItem *item = ListView1->addRow({r.name, r.address}, r.checked);
    item->setData(0, kKeyRole, r.key);
  }
}

std::vector<SiteRow> Tbssform::rows() const {
  std::vector<SiteRow> out;
  for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
    const QTreeWidgetItem *item = ListView1->topLevelItem(i);
    out.push_back({item->text(0), item->text(1), item->data(0, kKeyRole).toString(),
                   item->checkState(0) == Qt::Checked});
  }
  return out;
}

void Tbssform::RzCheckBox1Click() {
  ListView1->setAllChecked(RzCheckBox1->isChecked());
}

void Tbssform::RzBitBtn1Click() {
  ListView1->invertChecks();
}

void Tbssform::RzBitBtn3Click() {
  std::vector<QTreeWidgetItem *> order = ListView1->rows();
  std::stable_partition(order.begin(), order.end(), &CheckList::isChecked);
  ListView1->reorder(order);
}

void Tbssform::ListView1ColumnClick(int column) {
  ListView1->sortColumn(column);
}

void Tbssform::moveRow(int from, int before) {
  ListView1->moveRow(from, before);
}

void Tbssform::SpeedButton1Click() {
  const QString text = skey->text();
  if (text.isEmpty())
    return;
  for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
    QTreeWidgetItem *item = ListView1->topLevelItem(i);
    if (item->text(0).contains(text, Qt::CaseSensitive) ||
        item->text(1).contains(text, Qt::CaseSensitive)) {
      ListView1->setFocus();
      ListView1->setCurrentItem(item);
      return;
    }
  }
}

void Tbssform::RzBitBtn5Click() {
  if (!sites_.choiceFile().write(SearchSetFile::choiceLines(rows()))) {
    messages_.tsxx(QStringLiteral("搜索配置保存失败！"));
    return;
  }
  rules_.setSsreload(true);
  messages_.tsxx(QStringLiteral("搜索配置保存成功！"));
}

} // namespace inkwren

namespace inkwren {

void Tbssform::setService(ServiceClient *service) {
  service_ = service;
  for (QPushButton *b : {RzBitBtn2, RzBitBtn4}) {
    b->setEnabled(service_ != nullptr);
    b->setToolTip(service_ ? QString() : kNoService);
  }
}

void Tbssform::RzBitBtn2Click() {
  if (!service_)
    return;
  // The client runs the login guard and tells the outcome.
  service_->searchsetsave(
      codec::encode(SearchSetFile::choiceText(SearchSetFile::choiceLines(rows()))));
}

void Tbssform::RzBitBtn4Click() {
  if (!service_)
    return;
  // nullopt: not logged in, or the client has said "操作失败!".
  const std::optional<QByteArray> list = service_->getsearchset();
  if (!list)
    return;
  if (!sites_.choiceFile().writeText(codec::decode(*list))) {
    messages_.tsxx(QStringLiteral("操作失败!"));
    return;
  }
  Button7Click();
  messages_.tsxx(QStringLiteral("下载成功!"));
}

} // namespace inkwren
