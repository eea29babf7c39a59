// The silent exchanges at start-up: new site rules and a new updater program from the service,
// and handing over to a verified updater only.
#include "service_fixture.h"

#include "core/codec.h"
#include "rules/rulefile.h"
#include "support/loopback_server.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <sodium.h>

namespace inkwren::test {
namespace {

QByteArray dw(const QByteArray &key, const QByteArray &s1) {
  QByteArray r = "<dw><wk>" + key + "</wk>";
  for (int i = 0; i <= 10; ++i)
    r += "<s" + QByteArray::number(i) + ">" + (i == 1 ? s1 : QByteArray()) + "</s" +
         QByteArray::number(i) + ">";
  return r + "</dw>";
}

QByteArray readFile(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// An Ed25519 key pair of the test, given to the program as its updater key.
struct SigningKey {
  SigningKey() {
    EXPECT_GE(sodium_init(), 0);
    crypto_sign_keypair(pk, sk);
    qputenv("INKWREN_UPDATER_KEY",
            QByteArray(reinterpret_cast<const char *>(pk), sizeof pk).toHex());
  }
  ~SigningKey() { qunsetenv("INKWREN_UPDATER_KEY"); }
  QByteArray sign(const QByteArray &data) const {
    QByteArray sig(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char *>(sig.data()), nullptr,
                         reinterpret_cast<const unsigned char *>(data.constData()),
                         static_cast<unsigned long long>(data.size()), sk);
    return sig;
  }
  unsigned char pk[crypto_sign_PUBLICKEYBYTES];
  unsigned char sk[crypto_sign_SECRETKEYBYTES];
};

struct Refresh : ::testing::Test {
  LoopbackServer server;
  Client client{QString::fromLatin1(server.url("/"))};
  AppContext &app = *client.app;
  SigningKey key;
  QByteArray oldRules = RuleFile::build({"sites", dw(".site.example", "old")});
  QByteArray newRules = RuleFile::build({"sites2", dw(".site.example", "new") + "\r\n", "extra"});
  QByteArray program = "#!/bin/sh\ntouch \"$(dirname \"$0\")/started\"\n";

  Refresh() {
    EXPECT_TRUE(codec::writeFileAtomic(app.rules.ruleFilePath(), oldRules));
    app.rules.loadRules();
    app.rules.setSsreload(false);
    app.settings.setLive(true);
    server.route("/rules.dat", HttpResponse::text(newRules));
    server.route("/up.bin", HttpResponse::text(program));
    server.route("/up.bin.sig", HttpResponse::text(key.sign(program)));
  }
  QString stamp(Settings::Index k) {
    // What reached the settings file.
    Settings reread(app.settings.path());
    reread.newset();
    reread.getset(1);
    return reread.value(k);
  }
  void expectRulesUnchanged() {
    EXPECT_EQ(readFile(app.rules.ruleFilePath()), oldRules);
    EXPECT_EQ(app.settings.value(Settings::setvid), QStringLiteral("0"));
    EXPECT_EQ(app.rules.ruleFor("http://www.site.example/").value(1), "old");
    EXPECT_FALSE(app.rules.ssreload());
  }
};

TEST_F(Refresh, NewRulesAreInstalledThenTheirStamp) {
  server.route("/iw_set.php",
               HttpResponse::text("<si>17</si><st>" + server.url("/rules.dat") + "</st>"));
  EXPECT_TRUE(app.service.upset(app.rules));
  const HttpRequest asked = server.requests().value(0);
  EXPECT_EQ(asked.path, "/iw_set.php");
  EXPECT_EQ(asked.query, "iwv=100&stv=0");
  EXPECT_FALSE(asked.hasHeader("User-Agent"));
  EXPECT_EQ(readFile(app.rules.ruleFilePath()), newRules);
  EXPECT_EQ(app.rules.ruleFor("http://www.site.example/").value(1), "new");
  EXPECT_TRUE(app.rules.ssreload());
  EXPECT_EQ(stamp(Settings::setvid), QStringLiteral("17"));
}

TEST_F(Refresh, RuleFailuresChangeNothing) {
  server.route("/broken.dat", HttpResponse::text(QByteArray("\x05\x00\x00\x00"
                                                            "abc",
                                                            7)));
  server.route("/missing.dat", HttpResponse::error(404));
  const QByteArray replies[] = {
      "<si>17</si>",                                            // no <st>
      "<st>" + server.url("/rules.dat") + "</st>",              // no <si>
      "<si>17</si><st>" + server.url("/missing.dat") + "</st>", // download fails
      "<si>17</si><st>" + server.url("/broken.dat") + "</st>",  // not a rule file
      "<si>17</si><st>" + server.url("/rules.dat"),             // no end tag
  };
  for (const QByteArray &r : replies) {
    server.route("/iw_set.php", HttpResponse::text(r));
    EXPECT_FALSE(app.service.upset(app.rules)) << r.constData();
    expectRulesUnchanged();
  }
  server.route("/iw_set.php", HttpResponse::error(500));
  EXPECT_FALSE(app.service.upset(app.rules));
  expectRulesUnchanged();
  EXPECT_TRUE(client.messages.said.isEmpty());
}

TEST_F(Refresh, UpdaterArrivesWithItsSignatureAndStartsOnlyWhileItVerifies) {
  server.route("/iw_update.php",
               HttpResponse::text("<ui>9</ui><up>" + server.url("/up.bin") + "</up>"));
  ASSERT_TRUE(app.service.upup(app.updater));
  EXPECT_EQ(server.requests().value(0).query, "upv=0");
  EXPECT_EQ(QFileInfo(app.updater.path()).fileName(), QStringLiteral("update.exe"));
  EXPECT_EQ(QFileInfo(app.updater.path()).absolutePath(),
            QFileInfo(client.dir.path()).absoluteFilePath());
  EXPECT_EQ(readFile(app.updater.path()), program);
  EXPECT_EQ(stamp(Settings::upvid), QStringLiteral("9"));

  // The user agrees to update: the verified updater runs.
  int ended = 0;
  app.updatecheck.setUpdater([&] { ended += app.updatecheck.handover() ? 1 : 0; });
  server.route("/iw_checkup.php", HttpResponse::text("[up]"));
  client.messages.answer = true;
  app.updatecheck.checkup(true);
  EXPECT_EQ(ended, 1);
  const QString started = client.dir.filePath(QStringLiteral("started"));
  for (int i = 0; i < 200 && !QFile::exists(started); ++i)
    QThread::msleep(10);
  EXPECT_TRUE(QFile::exists(started));

  // A program changed on disk after it arrived is never started. The change is a new file put
  // in place (the shell that ran the first one may still be reading its old file).
  const QString changed = client.dir.filePath(QStringLiteral("changed"));
  ASSERT_TRUE(codec::writeFileAtomic(app.updater.path(),
                                     program + "touch \"$(dirname \"$0\")/changed\"\n"));
  app.updatecheck.checkup(true);
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(client.messages.said.value(0), QStringLiteral("更新程序校验失败!"));
  QThread::msleep(100);
  EXPECT_FALSE(QFile::exists(changed));
}

TEST_F(Refresh, UpdaterWithoutAValidSignatureIsNotKept) {
  SigningKey other; // signs with a key the program does not trust
  qputenv("INKWREN_UPDATER_KEY",
          QByteArray(reinterpret_cast<const char *>(key.pk), sizeof key.pk).toHex());
  server.route("/bad.bin", HttpResponse::text(program));
  server.route("/bad.bin.sig", HttpResponse::text(other.sign(program)));
  server.route("/nosig.bin", HttpResponse::text(program));
  server.route("/short.bin", HttpResponse::text(program));
  server.route("/short.bin.sig", HttpResponse::text(key.sign(program).left(63)));
  for (const char *name : {"/bad.bin", "/nosig.bin", "/short.bin"}) {
    server.route("/iw_update.php",
                 HttpResponse::text("<ui>9</ui><up>" + server.url(name) + "</up>"));
    EXPECT_FALSE(app.service.upup(app.updater)) << name;
    EXPECT_FALSE(QFile::exists(app.updater.path())) << name;
    EXPECT_EQ(app.settings.value(Settings::upvid), QStringLiteral("0"));
  }
  // With no updater on disk, agreeing to update tells why nothing happens.
  int ended = 0;
  app.updatecheck.setUpdater([&] { ended += app.updatecheck.handover() ? 1 : 0; });
  server.route("/iw_checkup.php", HttpResponse::text("[up]"));
  client.messages.answer = true;
  app.updatecheck.checkup(false);
  EXPECT_EQ(ended, 0);
  EXPECT_EQ(client.messages.said, QStringList{QStringLiteral("更新程序校验失败!")});
}

} // namespace
} // namespace inkwren::test
