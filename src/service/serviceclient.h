#pragma once
// The client of the program's own web service: the base address `webroot`, the login
// credentials `loginuser` / `loginpass` (held in memory only, never written anywhere), the login
// guard `checklogin`, and the exchanges the program makes with the service.
//
// Every exchange makes its own HTTP client (proxy settings, no User-Agent, 30 s read time-out)
// and frees it when done. A failed transfer is read as an empty reply, so it lacks every success
// marker and ends in the exchange's failure message; no transport error text is ever shown.
//
// Replies are GBK text. Markers are plain, case-sensitive substrings; "<ok>" wins over
// "<loginfail>". Records are cut out after every CR and LF has been removed, so one record may
// span several lines.
//
// The windows plug in through two hooks: the login dialog (shown modally by checklogin and after
// a refused password) and nothing else here; headless users (the command line) leave it unset
// and log in with login() after accepting the credentials with trylogin().
//
// Every address of the service is made here: the exchanges, the pages shown in the right-hand
// pane and the pages opened in the web browser.
//
// Threads: main thread only.
#include <QByteArray>
#include <QByteArrayList>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace inkwren {

class Fetcher;
class HttpClient;
class Messages;
class RuleSet;
class Settings;
class Updater;

// One entry of the network bookshelf: the four facts that travel.
struct StackEntry {
  QString bookname;
  QString authorname;
  QString booktype; // the name of the local category
  QString downurl;  // the table-of-contents address
  bool operator==(const StackEntry &) const = default;
};

// One entry of a rankings list: its path under "inkwren/" and its title.
struct RankingLink {
  QString path;
  QString title;
  bool operator==(const RankingLink &) const = default;
};
struct RankingList {
  QString name;
  QList<RankingLink> links;
  bool operator==(const RankingList &) const = default;
};

// One line of the advertisement rotation.
struct Advert {
  QString text;
  QString address;
  bool operator==(const Advert &) const = default;
};

class ServiceClient {
public:
  // How a reply to an exchange that sends the password reads.
  enum class Outcome { Ok, LoginFail, Failed };
  enum class LoginResult { Accepted, Refused, Unreachable };
  enum class CheckResult { Newer, Latest, Unreachable };

  // webroot: the service's base address, ending in "/".
  ServiceClient(const Fetcher &fetcher, Settings &settings, Messages &messages, QByteArray webroot);

  const QByteArray &webroot() const { return webroot_; }
  // webroot followed directly by a relative address ("iw_login.php").
  QByteArray address(QByteArrayView relative) const { return webroot_ + relative.toByteArray(); }
  // The program version without its dots ("1.00" gives "100").
  QByteArray versionDigits() const;

  // Login state.
  const QString &loginuser() const { return loginuser_; }
  const QString &loginpass() const { return loginpass_; }
  bool loggedIn() const { return !loginuser_.isEmpty(); }
  // Makes the login current (after the service accepted it) / forgets it.
  void login(const QString &user, const QString &password);
  void logout();
  // Shows the login dialog modally; unset means there is no dialog.
  void setLoginDialog(std::function<void()> show) { loginDialog_ = std::move(show); }
  // The login guard: true when logged in, else after the login dialog has logged someone in.
  bool checklogin();

  // Exchange 1: asks the service whether the typed name and password are valid. Sets nothing
  // and shows nothing (the login dialog says "账号或密码错误!" on Refused and nothing on
  // Unreachable).
  LoginResult trylogin(const QString &user, const QString &password) const;
  // Exchange 2 behind the login guard: the network shelf in its order. nullopt when not logged
  // in (silently) or when the reply has no "<ok>" ("操作失败!").
  std::optional<QList<StackEntry>> getstack();
  // Exchange 3 (upload, added to the network shelf) and 4 (save, replaces it) behind the login
  // guard. Failures are told here ("上传失败!" / "保存失败!", or the credential failure); the
  // save also says "保存成功!". nullopt when not logged in.
  std::optional<Outcome> bookstackadd(const QList<StackEntry> &books);
  std::optional<Outcome> bookstacksave(const QList<StackEntry> &books);
  // Exchange 5 behind the login guard (the caller asks "确实要清空？" first). "操作失败!" or the
  // credential failure are told here.
  std::optional<Outcome> clearstack();
  // Exchange 6: uploads the search-site list (one "key,1" or "key,0" line per site, each ended
  // by CR LF). "上传成功!", "上传失败!" or the credential failure.
  std::optional<Outcome> searchsetsave(const QByteArray &searchset);
  // Exchange 7: the search-site list kept on the service, in the layout of the upload. nullopt
  // with "操作失败!" when the reply has no "<ok>" or no complete, non-empty "<searchset>" block
  // (a list empty or cut short must never replace the user's); nullopt silently when not logged in.
  // The caller saves it and says "下载成功!".
  std::optional<QByteArray> getsearchset();
  // Exchange 10: whether the service knows a newer version than ours.
  CheckResult checkversion() const;

  // Exchange 8 (`upset`): a newer rule file, installed into rules; then its stamp `setvid` is
  // stored and written to the settings file at once. Exchange 9 (`upup`): a newer updater
  // program with its detached signature (the program's address + ".sig"), handed to updater;
  // then the stamp `upvid` is stored. Both are silent: false when nothing new was installed, and
  // every failure leaves file and stamp as they were.
  bool upset(RuleSet &rules);
  bool upup(Updater &updater);

  // Exchange 11: the advertisements in reply order (none when the service can't be reached).
  QList<Advert> txtadvlist() const;
  static QList<Advert> advertRecords(const QByteArray &reply);
  // Exchange 12: the rankings lists, read after every ":" has been removed from the reply, so a
  // link path is never an absolute address.
  QList<RankingList> toplists() const;
  static QList<RankingList> rankingRecords(const QByteArray &reply);

  // The pages of the right-hand pane: the rankings page (exchange 12) and one rankings entry
  // (exchange 13, "inkwren/" followed by the entry's path).
  QString bookwebPage() const;
  QString rankingPage(const QString &path) const;
  // The service's pages opened in the web browser.
  enum class WebPage {
    Home,         // the base address itself ("官方网站")
    Forum,        // "问题反馈", "意见反馈"
    Guide,        // "使用指南"
    Speech,       // "中文朗读"
    Register,     // "免费申请账号"
    LostPassword, // "忘记密码？"
  };
  QString webPage(WebPage page) const;

  // Reply reading.
  static Outcome outcome(const QByteArray &reply);
  // The text between the first opening tag and the first closing tag after it; nullopt when
  // either is missing.
  static std::optional<QByteArray> block(const QByteArray &reply, QByteArrayView open,
                                         QByteArrayView close);
  // Every match of pattern (ignore case) after CR and LF are removed; each group one field.
  static QList<QStringList> records(const QByteArray &reply, const QString &pattern);
  static QList<StackEntry> bookRecords(const QByteArray &reply);

  // The form lines of exchanges 3 and 4: the credentials, four lines per book numbered from 0,
  // then "upcount".
  QByteArrayList stackLines(const QList<StackEntry> &books) const;

private:
  struct Reply {
    bool transferred = false;
    QByteArray body;
  };
  Reply post(QByteArrayView relative, const QByteArrayList &lines) const;
  Reply get(QByteArrayView relative) const;
  // Exchanges 8 and 9: the address and stamp of a newer file, read from the reply to the GET
  // of relative; the client is kept for the file's own GET.
  struct Published {
    QByteArray address, stamp;
  };
  std::optional<Published> published(HttpClient &client, QByteArrayView relative,
                                     QByteArrayView stampTag, QByteArrayView addressTag) const;
  QByteArrayList credentials() const;
  // Shows the failure message for an outcome, or the credential failure.
  Outcome tell(Outcome outcome, const QString &failure);

  const Fetcher &fetcher_;
  Settings &settings_;
  Messages &messages_;
  QByteArray webroot_;
  QString loginuser_, loginpass_;
  std::function<void()> loginDialog_;
};

} // namespace inkwren
