#include "service/serviceclient.h"

#include "core/codec.h"
#include "core/messages.h"
#include "core/settings.h"
#include "rules/fetcher.h"
#include "rules/regex.h"

namespace inkwren {

namespace {

constexpr int kTimeoutMs = 30000;

const QString kBookPattern =
    QStringLiteral("<book><bn>(.*?)</bn><an>(.*?)</an><bt>(.*?)</bt><du>(.*?)</du></book>");

QByteArray line(QByteArrayView name, const QString &value) {
  return name.toByteArray() + '=' + codec::encode(value);
}

} // namespace

ServiceClient::ServiceClient(const Fetcher &fetcher, Settings &settings, Messages &messages,
                             QByteArray webroot)
    : fetcher_(fetcher), settings_(settings), messages_(messages), webroot_(std::move(webroot)) {}

QByteArray ServiceClient::versionDigits() const {
  QString digits = settings_.value(Settings::versionid);
  digits.remove(u'.');
  return codec::encode(digits);
}

void ServiceClient::login(const QString &user, const QString &password) {
  loginuser_ = user;
  loginpass_ = password;
}

void ServiceClient::logout() {
  loginuser_.clear();
  loginpass_.clear();
}

bool ServiceClient::checklogin() {
  if (!loggedIn() && loginDialog_)
    loginDialog_();
  return loggedIn();
}

ServiceClient::Reply ServiceClient::post(QByteArrayView relative,
                                         const QByteArrayList &lines) const {
  std::unique_ptr<HttpClient> client = fetcher_.creathttp(kTimeoutMs);
  if (!client)
    return {};
  HttpResult r = client->post(address(relative), lines);
  return {r.ok, r.body};
}

ServiceClient::Reply ServiceClient::get(QByteArrayView relative) const {
  std::unique_ptr<HttpClient> client = fetcher_.creathttp(kTimeoutMs);
  if (!client)
    return {};
  HttpResult r = client->get(address(relative));
  return {r.ok, r.body};
}

QByteArrayList ServiceClient::credentials() const {
  return {line("username", loginuser_), line("password", loginpass_)};
}

ServiceClient::Outcome ServiceClient::outcome(const QByteArray &reply) {
  if (reply.contains("<ok>"))
    return Outcome::Ok;
  if (reply.contains("<loginfail>"))
    return Outcome::LoginFail;
  return Outcome::Failed;
}

std::optional<QByteArray> ServiceClient::block(const QByteArray &reply, QByteArrayView open,
                                               QByteArrayView close) {
  const qsizetype start = reply.indexOf(open);
  if (start < 0)
    return std::nullopt;
  const qsizetype from = start + open.size();
  const qsizetype end = reply.indexOf(close, from);
  if (end < 0)
    return std::nullopt;
  return reply.mid(from, end - from);
}

QList<QStringList> ServiceClient::records(const QByteArray &reply, const QString &pattern) {
  QByteArray flat = reply;
  flat.replace('\r', QByteArray()).replace('\n', QByteArray());
  const QString text = codec::decode(flat);
  const Regex re{QStringView(pattern)};
  QList<QStringList> out;
  // A walk that fails part-way (a limit hit on a malformed reply) keeps the records read so far.
  re.forEach(text, [&](const Regex::Spans &s) {
    QStringList fields;
    for (int k = 1; k < s.pairs; ++k)
      fields << (s.start(k) < 0 ? QString() : text.mid(s.start(k), s.end(k) - s.start(k)));
    out.append(fields);
    return true;
  });
  return out;
}

QList<StackEntry> ServiceClient::bookRecords(const QByteArray &reply) {
  QList<StackEntry> books;
  for (const QStringList &f : records(reply, kBookPattern))
    if (f.size() == 4)
      books.append({f[0], f[1], f[2], f[3]});
  return books;
}

QByteArrayList ServiceClient::stackLines(const QList<StackEntry> &books) const {
  QByteArrayList lines = credentials();
  for (qsizetype i = 0; i < books.size(); ++i) {
    const QByteArray n = QByteArray::number(i);
    lines << line("bookname" + n, books[i].bookname) << line("authorname" + n, books[i].authorname)
          << line("booktype" + n, books[i].booktype) << line("downurl" + n, books[i].downurl);
  }
  lines << "upcount=" + QByteArray::number(books.size());
  return lines;
}

ServiceClient::Outcome ServiceClient::tell(Outcome result, const QString &failure) {
  if (result == Outcome::Failed) {
    messages_.tsxx(failure);
  } else if (result == Outcome::LoginFail) {
    // The credentials stay as they are until a new login replaces them.
    messages_.tsxx(QStringLiteral("登陆账号错误，请重新登录!"));
    if (loginDialog_)
      loginDialog_();
  }
  return result;
}

ServiceClient::LoginResult ServiceClient::trylogin(const QString &user,
                                                   const QString &password) const {
  const Reply r = post("iw_login.php", {line("username", user), line("password", password)});
  if (!r.transferred)
    return LoginResult::Unreachable;
  return r.body.contains("<ok>") ? LoginResult::Accepted : LoginResult::Refused;
}

std::optional<QList<StackEntry>> ServiceClient::getstack() {
  if (!checklogin())
    return std::nullopt;
  const Reply r = post("iw_getstack.php", {line("username", loginuser_)});
  if (!r.body.contains("<ok>")) {
    messages_.tsxx(QStringLiteral("操作失败!"));
    return std::nullopt;
  }
  return bookRecords(r.body);
}

std::optional<ServiceClient::Outcome> ServiceClient::bookstackadd(const QList<StackEntry> &books) {
  if (!checklogin())
    return std::nullopt;
  return tell(outcome(post("iw_bookstackadd.php", stackLines(books)).body),
              QStringLiteral("上传失败!"));
}

std::optional<ServiceClient::Outcome> ServiceClient::bookstacksave(const QList<StackEntry> &books) {
  if (!checklogin())
    return std::nullopt;
  const Outcome o = tell(outcome(post("iw_bookstacksave.php", stackLines(books)).body),
                         QStringLiteral("保存失败!"));
  if (o == Outcome::Ok)
    messages_.tsxx(QStringLiteral("保存成功!"));
  return o;
}

std::optional<ServiceClient::Outcome> ServiceClient::clearstack() {
  if (!checklogin())
    return std::nullopt;
  return tell(outcome(post("iw_clearstack.php", credentials()).body), QStringLiteral("操作失败!"));
}

std::optional<ServiceClient::Outcome> ServiceClient::searchsetsave(const QByteArray &searchset) {
  if (!checklogin())
    return std::nullopt;
  QByteArrayList lines = credentials();
  lines << "searchset=" + searchset;
  const Outcome o =
      tell(outcome(post("iw_searchsetsave.php", lines).body), QStringLiteral("上传失败!"));
  if (o == Outcome::Ok)
    messages_.tsxx(QStringLiteral("上传成功!"));
  return o;
}

std::optional<QByteArray> ServiceClient::getsearchset() {
  if (!checklogin())
    return std::nullopt;
  const Reply r = post("iw_getsearchset.php", {line("username", loginuser_)});
  std::optional<QByteArray> list;
  if (r.body.contains("<ok>"))
    list = block(r.body, "<searchset>", "</searchset>");
  // Without a complete, non-empty block the list read would be empty or cut short: keep the
  // user's.
  if (!list || list->trimmed().isEmpty()) {
    messages_.tsxx(QStringLiteral("操作失败!"));
    return std::nullopt;
  }
  return list;
}

ServiceClient::CheckResult ServiceClient::checkversion() const {
  const Reply r = get("iw_checkup.php?iwv=" + versionDigits());
  if (r.body.contains("[up]"))
    return CheckResult::Newer;
  return r.transferred ? CheckResult::Latest : CheckResult::Unreachable;
}

} // namespace inkwren
