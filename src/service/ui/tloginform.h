#pragma once
// The login dialog "用户登录": a user name (an editable list of the remembered names), a
// password, "记住账号", "登陆" (or Enter in the password box), "清除" to forget the name in the
// box, and the links to the registration and lost-password pages. Only names are remembered,
// in the setting `userlist` (most recent first, separated by ","); passwords never are.
//
// The dialog asks the service whether the name and password are valid; when they are, it hands
// them to `loggedIn` (which makes the login current), remembers the name when asked to, closes
// and then calls `afterLogin`. A refused login says "账号或密码错误!"; an unreachable service
// says nothing. Either way the dialog stays open with its texts.
//
// Main thread only.
#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace inkwren {

class Messages;
class ServiceClient;
class Settings;
class UrlOpener;

class Tloginform : public QDialog {
  Q_OBJECT
public:
  Tloginform(ServiceClient &service, Settings &settings, Messages &messages, UrlOpener &urls,
             QWidget *parent = nullptr);

  // Makes the login current (the service has accepted it).
  std::function<void(const QString &user, const QString &password)> loggedIn;
  // Runs after a successful login, once the dialog has closed.
  std::function<void()> afterLogin;

  // Fills the list of `user` from `userlist` and empties both boxes.
  void getuserlist();
  // "登陆".
  void Button1Click();
  // "清除": forgets the name in `user` (when remembered) and refills the list.
  void RzBitBtn1Click();

  // The names of a `userlist` value, in its order.
  static QStringList names(const QString &userlist);
  // `userlist` with name put in front, or unchanged when the name is already remembered.
  static QString remember(const QString &userlist, const QString &name);
  // `userlist` without name (every occurrence), or unchanged when it is not remembered.
  static QString forget(const QString &userlist, const QString &name);

  QComboBox *user = nullptr;
  QLineEdit *pass = nullptr;
  QCheckBox *remuser = nullptr;
  QPushButton *Button1 = nullptr;   // "登陆"
  QPushButton *RzBitBtn1 = nullptr; // "清除"
  QLabel *Label3 = nullptr;         // "免费申请账号"
  QLabel *Label4 = nullptr;         // "忘记密码？"
  QToolButton *RzShapeButton1 = nullptr;

protected:
  void showEvent(QShowEvent *e) override;
  void paintEvent(QPaintEvent *e) override;

private:
  ServiceClient &service_;
  Settings &settings_;
  Messages &messages_;
  UrlOpener &urls_;
};

} // namespace inkwren
