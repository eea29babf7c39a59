#include "shelf/ui/tbtform.h"

#include "core/ui/dialogparts.h"
#include "shelf/bookshelf.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace inkwren {

Tbtform::Tbtform(Bookshelf &shelf, QWidget *parent) : QDialog(parent), shelf_(shelf) {
  setObjectName(QStringLiteral("btform"));
  setWindowTitle(QStringLiteral("小说分类"));
  auto *layout = new QVBoxLayout(this);
  auto *row = new QHBoxLayout;
  row->addWidget(new QLabel(QStringLiteral("分类名称："), this));
  bookt = new QLineEdit(this);
  bookt->setObjectName(QStringLiteral("bookt"));
  row->addWidget(bookt, 1);
  layout->addLayout(row);
  auto *buttons = new QHBoxLayout;
  buttons->addStretch(1);
  RzBitBtn1 = new QPushButton(QStringLiteral("确认添加"), this);
  RzBitBtn1->setObjectName(QStringLiteral("RzBitBtn1"));
  RzBitBtn1->setAutoDefault(false);
  markPrimary(RzBitBtn1);
  RzBitBtn2 = new QPushButton(QStringLiteral("取消"), this);
  RzBitBtn2->setObjectName(QStringLiteral("RzBitBtn2"));
  RzBitBtn2->setAutoDefault(false);
  buttons->addWidget(RzBitBtn1);
  buttons->addWidget(RzBitBtn2);
  layout->addLayout(buttons);
  connect(RzBitBtn1, &QPushButton::clicked, this, &Tbtform::RzBitBtn1Click);
  connect(RzBitBtn2, &QPushButton::clicked, this, &QDialog::reject);
  connect(bookt, &QLineEdit::returnPressed, RzBitBtn1, &QPushButton::click);
  resize(300, sizeHint().height());
}

void Tbtform::prepareNew() {
  setWindowTitle(QStringLiteral("新增小说分类"));
  bookt->clear();
  RzBitBtn1->setText(QStringLiteral("确认添加"));
  editedTypeId_.clear();
}

void Tbtform::prepareEdit(const QString &typeId, const QString &name) {
  setWindowTitle(QStringLiteral("修改小说分类"));
  bookt->setText(name);
  RzBitBtn1->setText(QStringLiteral("确认修改"));
  editedTypeId_ = typeId;
}

void Tbtform::RzBitBtn1Click() {
  const QString name = bookt->text();
  if (name.trimmed().isEmpty())
    return;
  const bool done = editedTypeId_.isEmpty() ? bool(shelf_.newbookt_do(name))
                                            : shelf_.editbookt_do(editedTypeId_, name);
  if (done)
    accept();
}

} // namespace inkwren
