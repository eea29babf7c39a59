#include "service/ui/tloginform.h"

#include "core/messages.h"
#include "core/settings.h"
#include "core/ui/dialogparts.h"
#include "service/serviceclient.h"
#include "shelf/ui/platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace inkwren {
namespace {

QLabel *link(const QString &text, const char *name, QWidget *parent) {
  auto *l =
      new QLabel(QStringLiteral("<a href=\"#\" style=\"color:#1f5fa8\">%1</a>").arg(text), parent);
  l->setObjectName(QLatin1String(name));
  l->setTextFormat(Qt::RichText);
  l->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
  l->setCursor(Qt::PointingHandCursor);
  return l;
}

} // namespace

Tloginform::Tloginform(ServiceClient &service, Settings &settings, Messages &messages,
                       UrlOpener &urls, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), service_(service), settings_(settings),
      messages_(messages), urls_(urls) {
  setObjectName(QStringLiteral("loginform"));
  setWindowTitle(QStringLiteral("用户登录"));
  setModal(true);

  auto *layout = new QVBoxLayout(this);
  auto *top = new QHBoxLayout;
  auto *caption = new QLabel(QStringLiteral("用户登录"), this);
  caption->setStyleSheet(QStringLiteral("font-weight: bold; font-size: 14px;"));
  RzShapeButton1 = new QToolButton(this);
  RzShapeButton1->setObjectName(QStringLiteral("RzShapeButton1"));
  RzShapeButton1->setText(QStringLiteral("×"));
  RzShapeButton1->setAutoRaise(true);
  RzShapeButton1->setToolTip(QStringLiteral("关闭"));
  top->addWidget(caption, 1);
  top->addWidget(RzShapeButton1);
  layout->addLayout(top);

  auto *grid = new QGridLayout;
  user = new QComboBox(this);
  user->setObjectName(QStringLiteral("user"));
  user->setEditable(true);
  user->setInsertPolicy(QComboBox::NoInsert);
  pass = new QLineEdit(this);
  pass->setObjectName(QStringLiteral("pass"));
  pass->setEchoMode(QLineEdit::Password);
  grid->addWidget(new QLabel(QStringLiteral("用户："), this), 0, 0);
  grid->addWidget(user, 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("密码："), this), 1, 0);
  grid->addWidget(pass, 1, 1);
  remuser = new QCheckBox(QStringLiteral("记住账号"), this);
  remuser->setObjectName(QStringLiteral("remuser"));
  remuser->setChecked(true);
  RzBitBtn1 = dialogButton(QStringLiteral("清除"), "RzBitBtn1", this);
  auto *remember = new QHBoxLayout;
  remember->addWidget(remuser);
  remember->addStretch(1);
  remember->addWidget(RzBitBtn1);
  grid->addLayout(remember, 2, 1);
  layout->addLayout(grid);

  auto *bottom = new QHBoxLayout;
  Label3 = link(QStringLiteral("免费申请账号"), "Label3", this);
  Label4 = link(QStringLiteral("忘记密码？"), "Label4", this);
  Button1 = dialogButton(QStringLiteral("登陆"), "Button1", this);
  bottom->addWidget(Label3);
  bottom->addWidget(Label4);
  bottom->addStretch(1);
  bottom->addWidget(Button1);
  layout->addLayout(bottom);

  connect(Button1, &QPushButton::clicked, this, &Tloginform::Button1Click);
  // Enter in the password box logs in; the key goes no further.
  connect(pass, &QLineEdit::returnPressed, Button1, &QPushButton::click);
  connect(RzBitBtn1, &QPushButton::clicked, this, &Tloginform::RzBitBtn1Click);
  connect(RzShapeButton1, &QToolButton::clicked, this, &QDialog::reject);
  connect(Label3, &QLabel::linkActivated, this,
          [this] { urls_.open(service_.webPage(ServiceClient::WebPage::Register)); });
  connect(Label4, &QLabel::linkActivated, this,
          [this] { urls_.open(service_.webPage(ServiceClient::WebPage::LostPassword)); });
  resize(340, 180);
}

void Tloginform::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  if (parentWidget())
    move(parentWidget()->window()->geometry().center() - rect().center());
  getuserlist();
  user->setFocus();
}

void Tloginform::paintEvent(QPaintEvent *) {
  QPainter p(this);
  QLinearGradient g(0, 0, 0, height());
  g.setColorAt(0, QColor(0xf4, 0xf8, 0xfc));
  g.setColorAt(1, QColor(0xd8, 0xe6, 0xf2));
  p.fillRect(rect(), g);
  p.setPen(QColor(0x7a, 0x9c, 0xbf));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

QStringList Tloginform::names(const QString &userlist) {
  QStringList out;
  QString rest = userlist;
  qsizetype comma;
  while ((comma = rest.indexOf(u',')) >= 0) {
    out << rest.left(comma);
    rest.remove(0, comma + 1);
  }
  if (!rest.isEmpty())
    out << rest;
  return out;
}

QString Tloginform::remember(const QString &userlist, const QString &name) {
  if ((u',' + userlist + u',').contains(u',' + name + u','))
    return userlist;
  return userlist.isEmpty() ? name : name + u',' + userlist;
}

QString Tloginform::forget(const QString &userlist, const QString &name) {
  const QString entry = u',' + name + u',';
  QString extended = u',' + userlist + u',';
  if (!extended.contains(entry))
    return userlist;
  extended.replace(entry, QStringLiteral(","));
  return extended.size() < 2 ? QString() : extended.mid(1, extended.size() - 2);
}

void Tloginform::getuserlist() {
  user->clear();
  user->addItems(names(settings_.value(Settings::userlist)));
  user->setCurrentIndex(-1);
  user->setEditText(QString());
  pass->clear();
}

void Tloginform::Button1Click() {
  const QString name = user->currentText();
  const QString password = pass->text();
  if (name.isEmpty() || password.isEmpty())
    return;
  Button1->setEnabled(false);
  const ServiceClient::LoginResult result = service_.trylogin(name, password);
  if (result == ServiceClient::LoginResult::Refused) {
    messages_.tsxx(QStringLiteral("账号或密码错误!"));
  } else if (result == ServiceClient::LoginResult::Accepted) {
    if (loggedIn)
      loggedIn(name, password);
    if (remuser->isChecked()) {
      const QString old = settings_.value(Settings::userlist);
      const QString now = remember(old, name);
      if (now != old)
        settings_.store(Settings::userlist, now);
    }
    accept();
    if (afterLogin)
      afterLogin();
  }
  // An unreachable service ends the attempt without a word.
  Button1->setEnabled(true);
}

void Tloginform::RzBitBtn1Click() {
  const QString name = user->currentText();
  if (name.isEmpty())
    return;
  const QString old = settings_.value(Settings::userlist);
  const QString now = forget(old, name);
  if (now != old)
    settings_.store(Settings::userlist, now);
  getuserlist();
}

} // namespace inkwren
