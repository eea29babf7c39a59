#include "core/ui/messagewindows.h"

#include "core/codec.h"

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

int gbkBytes(const QString &s) { return int(codec::encode(s).size()); }

QLabel *pictureLabel(QWidget *parent, QStyle::StandardPixmap which) {
  auto *pic = new QLabel(parent);
  pic->setPixmap(parent->style()->standardIcon(which).pixmap(32, 32));
  pic->setGeometry(18, 22, 32, 32);
  return pic;
}

QLabel *textLabel(QWidget *parent) {
  auto *l = new QLabel(parent);
  l->setWordWrap(true);
  l->setTextFormat(Qt::PlainText);
  l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return l;
}

QPushButton *button(QWidget *parent, const QString &text) {
  auto *b = new QPushButton(text, parent);
  b->resize(75, 26);
  return b;
}

} // namespace

Ttsform::Ttsform(QWidget *parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("墨鹪"));
  setModal(true);
  pictureLabel(this, QStyle::SP_MessageBoxInformation);
  tsxx = textLabel(this);
  RzBitBtn1 = button(this, QStringLiteral("确认"));
  RzBitBtn1->setDefault(true);
  connect(RzBitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void Ttsform::prepare(const QString &text) {
  int w = messageWidth(gbkBytes(text));
  setFixedSize(w, kHeight);
  tsxx->setGeometry(62, 14, w - 74, 60);
  tsxx->setText(text);
  RzBitBtn1->move((w - 75) / 2, kButtonTop);
}

Tqrform::Tqrform(QWidget *parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("墨鹪"));
  setModal(true);
  pictureLabel(this, QStyle::SP_MessageBoxQuestion);
  qrxx = textLabel(this);
  RzBitBtn1 = button(this, QStringLiteral("确认"));
  RzBitBtn2 = button(this, QStringLiteral("取消"));
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
  QRect area = main_ && main_->isVisible() ? main_->frameGeometry()
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
