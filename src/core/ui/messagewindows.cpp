#include "core/ui/messagewindows.h"

#include "core/codec.h"
#include "core/ui/dialogparts.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

namespace inkwren {
namespace {

constexpr int kHeight = 130;
constexpr int kButtonTop = 86;

int gbkBytes(const QString &s) {
  return int(codec::encode(s).size());
}

void setPicture(QLabel *pic, artwork::MessageIcon which) {
  pic->setPixmap(artwork::messageIcon(which).pixmap(QSize(32, 32), pic->devicePixelRatioF()));
}

QLabel *pictureLabel(QWidget *parent, artwork::MessageIcon which) {
  auto *pic = new QLabel(parent);
  pic->setGeometry(18, 22, 32, 32);
  setPicture(pic, which);
  return pic;
}

QLabel *textLabel(QWidget *parent) {
  auto *l = new QLabel(parent);
  l->setWordWrap(true);
  l->setTextFormat(Qt::PlainText);
  l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return l;
}

QPushButton *button(QWidget *parent, const QString &text, const char *name) {
  auto *b = dialogButton(text, name, parent);
  b->resize(75, 26);
  return b;
}

bool containsAny(const QString &text, std::initializer_list<const char *> words) {
  for (const char *w : words)
    if (text.contains(QString::fromUtf8(w)))
      return true;
  return false;
}

} // namespace

artwork::MessageIcon messagePicture(const QString &text) {
  if (containsAny(text, {"失败", "错误", "出错", "异常", "损坏", "超时", "无法"}))
    return artwork::MessageIcon::Error;
  if (containsAny(text, {"不可", "不能", "重复", "没有选中", "未选中", "找不到", "为空", "请先"}))
    return artwork::MessageIcon::Warning;
  return artwork::MessageIcon::Information;
}

Ttsform::Ttsform(QWidget *parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("墨鹪"));
  setModal(true);
  pic_ = pictureLabel(this, picture_);
  tsxx = textLabel(this);
  RzBitBtn1 = button(this, QStringLiteral("确认"), "RzBitBtn1");
  markPrimary(RzBitBtn1);
  RzBitBtn1->setDefault(true);
  connect(RzBitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void Ttsform::prepare(const QString &text) {
  int w = messageWidth(gbkBytes(text));
  setFixedSize(w, kHeight);
  tsxx->setGeometry(62, 14, w - 74, 60);
  tsxx->setText(text);
  RzBitBtn1->move((w - 75) / 2, kButtonTop);
  picture_ = messagePicture(text);
  setPicture(pic_, picture_);
}

Tqrform::Tqrform(QWidget *parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("墨鹪"));
  setModal(true);
  pictureLabel(this, artwork::MessageIcon::Question);
  qrxx = textLabel(this);
  RzBitBtn1 = button(this, QStringLiteral("确认"), "RzBitBtn1");
  RzBitBtn2 = button(this, QStringLiteral("取消"), "RzBitBtn2");
  markPrimary(RzBitBtn1);
  RzBitBtn1->setDefault(true);
  connect(RzBitBtn1, &QPushButton::clicked, this, &QDialog::accept);
  connect(RzBitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void Tqrform::prepare(const QString &question) {
  int w = confirmationWidth(gbkBytes(question));
  setFixedSize(w, kHeight);
  qrxx->setGeometry(62, 14, w - 74, 60);
  qrxx->setText(question);
  int left = (w - 163) / 2;
  RzBitBtn1->move(left, kButtonTop);
  RzBitBtn2->move(left + 88, kButtonTop);
}

DialogMessages::DialogMessages(QWidget *mainWindow) : main_(mainWindow) {}

Ttsform *DialogMessages::messageWindow() {
  if (!ts_)
    ts_ = new Ttsform(main_);
  return ts_;
}

Tqrform *DialogMessages::confirmationWindow() {
  if (!qr_)
    qr_ = new Tqrform(main_);
  return qr_;
}

void DialogMessages::centre(QDialog *d) {
  QRect area = main_ && main_->isVisible()
                   ? main_->frameGeometry()
                   : (d->screen() ? d->screen()->availableGeometry() : QRect());
  if (area.isValid())
    d->move(area.center() - QPoint(d->width() / 2, d->height() / 2));
}

void DialogMessages::tsxx(const QString &text) {
  Ttsform *w = messageWindow();
  w->prepare(text);
  centre(w);
  w->exec();
}

bool DialogMessages::qrxx(const QString &question) {
  Tqrform *w = confirmationWindow();
  w->prepare(question);
  centre(w);
  return w->exec() == QDialog::Accepted;
}

} // namespace inkwren
