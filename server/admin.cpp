#include "admin.h"

#include "credentials.h"
#include "filestore.h"
#include "rulecontainer.h"
#include "signing.h"
#include "storage.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <iostream>
#include <string>

namespace inkwren::server {

namespace {

std::optional<QByteArray> readFile(const QString &path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return std::nullopt;
  return f.readAll();
}

// Names that go into addresses and onto the client's disk: letters, digits, ".", "_", "-".
bool isSafeFileName(const QString &name) {
  static const QRegularExpression shape("^[A-Za-z0-9_][A-Za-z0-9._-]*$");
  return isPlainName(name) && shape.match(name).hasMatch();
}

// Advertisement texts and addresses become record fields: no tags, no line breaks.
bool isRecordSafe(const QString &text) {
  return !text.contains('<') && !text.contains('>') && !text.contains('\r') && !text.contains('\n');
}

} // namespace

QString readPassword() {
  const QByteArray fromEnv = qgetenv("INKWREN_PASSWORD");
  if (!fromEnv.isEmpty())
    return QString::fromLocal8Bit(fromEnv);
  std::string line;
  std::getline(std::cin, line);
  if (!line.empty() && line.back() == '\r')
    line.pop_back();
  return QString::fromLocal8Bit(line);
}

int Admin::fail(const QString &message) {
  m_err << "inkwren-server admin: " << message << Qt::endl;
  return 1;
}

int Admin::run(const QStringList &args) {
  const QString cmd = args.value(0);
  const auto need = [&](int n) { return args.size() >= n + 1; };
  if ((cmd == "adduser" || cmd == "passwd") && need(1))
    return setPassword(args[1], cmd == "adduser");
  if (cmd == "publish-rules" && need(1))
    return publishRules(args[1]);
  if (cmd == "set-version" && need(1))
    return setVersion(args[1]);
  if (cmd == "keygen" && need(2)) {
    QString error;
    if (!makeKeyPair(args[1], args[2], &error))
      return fail(error);
    m_out << "secret key: " << args[1] << ", public key: " << args[2] << Qt::endl;
    return 0;
  }
  if (cmd == "publish-updater" && need(1))
    return publishUpdater(args[1], args.mid(2));
  if (cmd == "add-advert" && need(2)) {
    if (!isRecordSafe(args[1]) || !isRecordSafe(args[2]))
      return fail("texts and addresses may not hold \"<\", \">\" or line breaks");
    return m_storage.addAdvert(args[1], args[2]) ? 0 : fail("cannot store the advertisement");
  }
  if (cmd == "list-adverts") {
    const auto list = m_storage.adverts();
    if (!list)
      return fail("cannot read the advertisements");
    for (const Advert &a : *list)
      m_out << a.id << "\t" << a.text << "\t" << a.url << Qt::endl;
    return 0;
  }
  if (cmd == "remove-advert" && need(1))
    return m_storage.removeAdvert(args[1].toLongLong()) ? 0 : fail("no such advertisement");
  if (cmd == "add-skin" && need(2))
    return addSkin(args.mid(1));
  if (cmd == "list-skins") {
    const auto list = m_storage.skins();
    if (!list)
      return fail("cannot read the skins");
    for (const Skin &s : *list)
      m_out << s.filename << "\t" << s.displayname << "\t" << s.picture << Qt::endl;
    return 0;
  }
  if (cmd == "remove-skin" && need(1))
    return m_storage.removeSkin(args[1]) ? 0 : fail("no such skin");
  return fail("unknown command or missing arguments: " + args.join(' '));
}

int Admin::setPassword(const QString &user, bool create) {
  if (user.isEmpty() || user.size() > 32)
    return fail("a user name has 1 to 32 characters");
  const QString password = readPassword();
  if (password.size() < 6)
    return fail("a password has at least 6 characters");
  const QString hash = Credentials::hash(password);
  if (hash.isEmpty())
    return fail("cannot hash the password");
  const bool done = create ? m_storage.addUser(user, hash) : m_storage.setPasswordHash(user, hash);
  if (!done)
    return fail(create ? "the user exists already" : "no such user");
  m_out << (create ? "user added: " : "password set: ") << user << Qt::endl;
  return 0;
}

int Admin::publishRules(const QString &path) {
  const auto bytes = readFile(path);
  if (!bytes)
    return fail("cannot read " + path);
  QString why;
  if (!isPublishableRuleFile(*bytes, &why))
    return fail(why);
  const auto stamp = m_storage.nextStamp();
  if (!stamp)
    return fail("cannot reach the database");
  const QString name = QString("rules-%1.dat").arg(*stamp);
  if (!m_files.put(name, *bytes))
    return fail("cannot write " + name);
  if (!m_storage.setPublication("rules", {QString::number(*stamp), name}))
    return fail("cannot record the publication");
  m_out << "rule file published with stamp " << *stamp << Qt::endl;
  return 0;
}

int Admin::publishUpdater(const QString &path, const QStringList &rest) {
  const auto bytes = readFile(path);
  if (!bytes)
    return fail("cannot read " + path);
  QByteArray signature;
  if (rest.size() >= 2 && rest[0] == "--sign") {
    QString error;
    const auto sig = signDetached(*bytes, rest[1], &error);
    if (!sig)
      return fail(error);
    signature = *sig;
  } else if (rest.size() >= 2 && rest[0] == "--signature") {
    const auto sig = readFile(rest[1]);
    if (!sig || sig->size() != 64)
      return fail("a signature file holds the 64 bytes of an Ed25519 signature");
    signature = *sig;
  } else {
    return fail("an updater needs --sign SECRETFILE or --signature SIGFILE");
  }
  const auto stamp = m_storage.nextStamp();
  if (!stamp)
    return fail("cannot reach the database");
  const QString name = QString("update-%1.exe").arg(*stamp);
  // The signature goes first: a client that sees the program can always fetch its signature.
  if (!m_files.put(name + ".sig", signature) || !m_files.put(name, *bytes))
    return fail("cannot write " + name);
  if (!m_storage.setPublication("updater", {QString::number(*stamp), name}))
    return fail("cannot record the publication");
  m_out << "updater published with stamp " << *stamp << Qt::endl;
  return 0;
}

int Admin::setVersion(const QString &version) {
  QString digits = version;
  digits.remove('.');
  static const QRegularExpression shape("^[0-9]{1,18}$");
  if (!shape.match(digits).hasMatch())
    return fail("a version is digits and dots, e.g. 1.01");
  if (!m_storage.setPublication("version", {digits, QString()}))
    return fail("cannot record the version");
  m_out << "current version: " << version << " (digits " << digits << ")" << Qt::endl;
  return 0;
}

int Admin::addSkin(const QStringList &args) {
  const QString path = args[0], display = args[1], picturePath = args.value(2);
  const QString name = QFileInfo(path).fileName();
  if (!isSafeFileName(name))
    return fail("a skin file name may hold only letters, digits, \".\", \"_\" and \"-\"");
  if (display.isEmpty() || display.contains('\r') || display.contains('\n'))
    return fail("a skin needs a display name on one line");
  const auto bytes = readFile(path);
  if (!bytes || !m_files.put(name, *bytes))
    return fail("cannot copy " + path);
  QString picture;
  if (!picturePath.isEmpty()) {
    picture = QFileInfo(picturePath).fileName();
    const auto pic = readFile(picturePath);
    if (!isSafeFileName(picture) || picture == name || !pic || !m_files.put(picture, *pic))
      return fail("cannot copy the picture " + picturePath);
  }
  if (!m_storage.addSkin({name, display, picture}))
    return fail("cannot record the skin");
  m_out << "skin added: " << name << Qt::endl;
  return 0;
}

} // namespace inkwren::server
