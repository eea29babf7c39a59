#include "service.h"

#include "core/codec.h"
#include "pages.h"

#include <QRegularExpression>

namespace inkwren::server {

namespace {

Reply error(const QString &message) {
  return Reply::text("<error>" + message + "</error>");
}

// A value that holds a tag of the shelf record would cut the record short when it is read back.
bool breaksRecord(const QString &value) {
  static const QRegularExpression tag("</?(book|bn|an|bt|du)>",
                                      QRegularExpression::CaseInsensitiveOption);
  return value.contains(tag);
}

bool allDigits(const QString &s) {
  if (s.isEmpty())
    return false;
  for (const QChar c : s)
    if (c < '0' || c > '9')
      return false;
  return true;
}

// a > b for two strings of decimal digits of any length.
bool newer(QString a, QString b) {
  auto strip = [](QString &s) {
    while (s.size() > 1 && s.startsWith('0'))
      s.remove(0, 1);
  };
  strip(a);
  strip(b);
  return a.size() != b.size() ? a.size() > b.size() : a > b;
}

} // namespace

Reply Reply::text(const QString &text, int status) {
  Reply r;
  r.status = status;
  r.body = codec::encode(text);
  return r;
}

Service::Service(Storage &storage, FileStore &files, ServiceLimits limits)
    : m_storage(storage), m_files(files), m_limits(std::move(limits)),
      m_loginLimiter(5, 30, std::chrono::seconds(300)),
      m_registrationLimiter(1 << 30, 10, std::chrono::seconds(3600)),
      m_credentials(storage, m_loginLimiter) {}

QString Service::baseUrl(const Request &r) const {
  if (!m_limits.publicUrl.isEmpty())
    return m_limits.publicUrl.endsWith('/') ? m_limits.publicUrl : m_limits.publicUrl + "/";
  static const QRegularExpression hostShape("^[A-Za-z0-9.\\-]+(:[0-9]{1,5})?$|"
                                            "^\\[[0-9A-Fa-f:.]+\\](:[0-9]{1,5})?$");
  const QString host = hostShape.match(r.host).hasMatch() ? r.host : QString("127.0.0.1");
  return QString(r.tls ? "https://" : "http://") + host + "/";
}

Reply Service::handle(const Request &r) {
  const QByteArray &p = r.path;
  const bool post = r.method == "POST";
  const FormBody query = FormBody::parse(r.query);
  if (p == "/iw_login.php" || p == "/iw_getstack.php" || p == "/iw_bookstackadd.php" ||
      p == "/iw_bookstacksave.php" || p == "/iw_clearstack.php" || p == "/iw_searchsetsave.php" ||
      p == "/iw_getsearchset.php") {
    if (!post)
      return Reply::text("<error>POST only</error>", 405);
    const FormBody form = FormBody::parse(r.body);
    if (p == "/iw_login.php")
      return login(form, r);
    if (p == "/iw_getstack.php")
      return getStack(form);
    if (p == "/iw_bookstackadd.php")
      return putStack(form, r, false);
    if (p == "/iw_bookstacksave.php")
      return putStack(form, r, true);
    if (p == "/iw_clearstack.php")
      return clearStack(form, r);
    if (p == "/iw_searchsetsave.php")
      return saveSearchSet(form, r);
    return getSearchSet(form);
  }
  if (p == "/iw_set.php")
    return published(query, r, "rules");
  if (p == "/iw_update.php")
    return published(query, r, "updater");
  if (p == "/iw_checkup.php")
    return checkUp(query);
  if (p == "/iw_txtadv.php")
    return adverts();
  if (p == "/inkwren/iw_bookweb.php" || p == "/inkwren/" || p == "/inkwren")
    return rankings();
  if (p == "/inkwren/book.php")
    return novel(query);
  if (p == "/iw_skin.php")
    return skins(r);
  if (p == "/member.php")
    return member(query, r);
  if (p == "/forum.php")
    return forum(query);
  if (p == "/" || p == "/index.php" || p == "/index.html")
    return Reply::text(pages::home());
  if (p.startsWith("/files/"))
    return file(p.mid(7));
  return Reply::text(pages::notFound(), 404);
}

std::optional<Reply> Service::refuse(const FormBody &form, const Request &r) {
  if (m_credentials.check(form.value("username"), form.value("password"), r.peer) !=
      Credentials::Outcome::Ok)
    return Reply::text("<loginfail>");
  return std::nullopt;
}

Reply Service::login(const FormBody &form, const Request &r) {
  switch (m_credentials.check(form.value("username"), form.value("password"), r.peer)) {
  case Credentials::Outcome::Ok:
    return Reply::text("<ok>");
  case Credentials::Outcome::Limited:
    return error("登录失败次数过多，请稍后再试");
  case Credentials::Outcome::Wrong:
    break;
  }
  return error("账号或密码错误");
}

Reply Service::getStack(const FormBody &form) {
  const QString user = form.value("username");
  if (user.isEmpty() || !m_storage.passwordHash(user))
    return error("没有这个账号");
  const auto books = m_storage.shelf(user);
  if (!books)
    return error("读取失败");
  QString out = "<ok>\r\n";
  for (const ShelfBook &b : *books)
    out += "<book><bn>" + b.bookname + "</bn><an>" + b.authorname + "</an><bt>" + b.booktype +
           "</bt><du>" + b.downurl + "</du></book>\r\n";
  return Reply::text(out);
}

Reply Service::putStack(const FormBody &form, const Request &r, bool replace) {
  if (auto refusal = refuse(form, r))
    return *refusal;
  bool ok = false;
  const qlonglong upcount = form.value("upcount").toLongLong(&ok);
  if (!ok || upcount < 0)
    return error("缺少书籍数量");
  if (upcount > m_limits.maxBooks)
    return error("一次上传的书籍过多");
  // Only books whose four fields were all sent count, however many upcount claims.
  QList<ShelfBook> books;
  for (qlonglong i = 0; i < upcount; ++i) {
    const QString n = QString::number(i);
    const QStringList names{"bookname" + n, "authorname" + n, "booktype" + n, "downurl" + n};
    if (!form.has(names[0]) || !form.has(names[1]) || !form.has(names[2]) || !form.has(names[3]))
      break;
    ShelfBook b{form.value(names[0]), form.value(names[1]), form.value(names[2]),
                form.value(names[3])};
    if (breaksRecord(b.bookname) || breaksRecord(b.authorname) || breaksRecord(b.booktype) ||
        breaksRecord(b.downurl))
      return error("书籍信息中含有不允许的标记");
    books.append(b);
  }
  const QString user = form.value("username");
  const bool saved =
      replace ? m_storage.replaceShelf(user, books) : m_storage.appendBooks(user, books);
  return saved ? Reply::text("<ok>") : error("保存失败");
}

Reply Service::clearStack(const FormBody &form, const Request &r) {
  if (auto refusal = refuse(form, r))
    return *refusal;
  return m_storage.clearShelf(form.value("username")) ? Reply::text("<ok>") : error("操作失败");
}

Reply Service::saveSearchSet(const FormBody &form, const Request &r) {
  if (auto refusal = refuse(form, r))
    return *refusal;
  if (!form.has("searchset"))
    return error("缺少搜索配置");
  const QString text = form.value("searchset");
  if (text.contains("<searchset>") || text.contains("</searchset>"))
    return error("搜索配置中含有不允许的标记");
  return m_storage.saveSearchSet(form.value("username"), text) ? Reply::text("<ok>")
                                                               : error("保存失败");
}

Reply Service::getSearchSet(const FormBody &form) {
  // A user who never uploaded a list gets no "<ok>": an empty list must not replace theirs.
  const auto text = m_storage.searchSet(form.value("username"));
  if (!text)
    return error("没有上传过搜索配置");
  return Reply::text("<ok><searchset>" + *text + "</searchset>");
}

Reply Service::published(const FormBody &query, const Request &r, const QString &kind) {
  const bool rules = kind == "rules";
  const auto p = m_storage.publication(kind);
  if (!p || p->stamp == query.value(rules ? "stv" : "upv") || !m_files.exists(p->filename))
    return Reply::text("<latest>");
  const QString url = baseUrl(r) + "files/" + p->filename;
  return Reply::text(rules ? "<si>" + p->stamp + "</si><st>" + url + "</st>"
                           : "<ui>" + p->stamp + "</ui><up>" + url + "</up>");
}

Reply Service::checkUp(const FormBody &query) {
  const auto p = m_storage.publication("version");
  const QString sent = query.value("iwv");
  if (p && allDigits(p->stamp) && allDigits(sent) && newer(p->stamp, sent))
    return Reply::text("[up]");
  return Reply::text("<latest>");
}

Reply Service::adverts() {
  const auto list = m_storage.adverts();
  QString out;
  for (const Advert &a : list.value_or(QList<Advert>()))
    out += "<adv><advtxt>" + a.text + "</advtxt><advurl>" + a.url + "</advurl></adv>\r\n";
  return Reply::text(out);
}

Reply Service::rankings() {
  QList<pages::RankingList> lists;
  lists.append({"最多收藏", m_storage.mostShelved(20).value_or(QList<RankedNovel>())});
  lists.append({"最新加入", m_storage.newestNovels(20).value_or(QList<RankedNovel>())});
  for (const QString &category : m_storage.topCategories(6).value_or(QStringList()))
    lists.append(
        {category + " 收藏榜", m_storage.mostShelved(10, category).value_or(QList<RankedNovel>())});
  return Reply::text(pages::rankings(lists));
}

Reply Service::novel(const FormBody &query) {
  bool ok = false;
  const qint64 id = query.value("id").toLongLong(&ok);
  const auto detail = ok ? m_storage.novel(id) : std::nullopt;
  if (!detail)
    return Reply::text(pages::notFound(), 404);
  return Reply::text(pages::novel(*detail));
}

Reply Service::skins(const Request &r) {
  QList<Skin> offered;
  for (const Skin &s : m_storage.skins().value_or(QList<Skin>()))
    if (m_files.exists(s.filename))
      offered.append(s);
  return Reply::text(pages::skins(offered, baseUrl(r)));
}

Reply Service::member(const FormBody &query, const Request &r) {
  if (query.value("mod") == "logging")
    return Reply::text(pages::lostPassword());
  if (r.method != "POST")
    return Reply::text(pages::registerForm());
  if (!m_limits.registration)
    return Reply::text(pages::registerForm("本服务暂不开放注册，请联系管理员。"), 403);
  const FormBody form = FormBody::parse(r.body);
  const QString user = form.value("username"), password = form.value("password");
  static const QRegularExpression control("[\\x00-\\x1f\\x7f]");
  if (user.isEmpty() || user.size() > 32 || user.contains(control) || user.trimmed() != user)
    return Reply::text(pages::registerForm("用户名须为1到32个字符，首尾不能有空格。"), 400);
  if (password.size() < 6 || password.size() > 64)
    return Reply::text(pages::registerForm("密码须为6到64个字符。"), 400);
  if (password != form.value("password2"))
    return Reply::text(pages::registerForm("两次输入的密码不一致。"), 400);
  if (m_registrationLimiter.blocked({}, r.peer))
    return Reply::text(pages::registerForm("注册过于频繁，请稍后再试。"), 429);
  const QString hash = Credentials::hash(password);
  if (hash.isEmpty())
    return Reply::text(pages::registerForm("服务器忙，请稍后再试。"), 503);
  if (!m_storage.addUser(user, hash))
    return Reply::text(pages::registerForm("该用户名已被注册。"), 409);
  m_registrationLimiter.failed({}, r.peer); // counts registrations per address
  return Reply::text(pages::registered(user));
}

Reply Service::forum(const FormBody &query) {
  if (query.value("mod") == "forumdisplay")
    return Reply::text(pages::help(
        "使用指南",
        "<p>在“我的书架”中选中小说后选择“下载更新”，墨鹪会取回目录、下载新章节并保存为文本。</p>"
        "<p>登录后可以把书架上传为网络书架，在另一台电脑上下载；搜索配置也可以上传和下载。</p>"
        "<p>“小说榜单”列出本服务用户收藏最多和最新加入的小说，点“加入书架”即可添加。</p>"));
  if (query.value("mod") == "viewthread")
    return Reply::text(pages::help(
        "中文朗读",
        "<p>朗读使用系统的语音引擎（espeak-ng）。在“选项”中选择中文语音、语速和音量，"
        "打开小说章节后选择“朗读”。</p><p>若没有中文语音，请安装 espeak-ng-data。</p>"));
  return Reply::text(
      pages::help("问题反馈", "<p>使用中遇到问题或有建议，请告诉本服务的管理员。</p>"));
}

Reply Service::file(const QByteArray &name) {
  const QString plain = QString::fromUtf8(name);
  const auto bytes = isPlainName(plain) ? m_files.read(plain) : std::nullopt;
  if (!bytes)
    return Reply::text(pages::notFound(), 404);
  Reply reply;
  reply.contentType = "application/octet-stream";
  reply.body = *bytes;
  return reply;
}

} // namespace inkwren::server
