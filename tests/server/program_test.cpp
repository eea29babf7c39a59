// The inkwren-server program itself: started with one command, administered by a second process
// on the same data folder, stopped by SIGTERM; and over HTTPS.
#include "core/codec.h"
#include "formbody.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <httplib.h>

using inkwren::server::FormBody;

namespace {

// Starts the program and waits for the line that names its port; -1 when it does not come.
int startServer(QProcess &server, const QStringList &args) {
  server.setProcessChannelMode(QProcess::MergedChannels);
  server.start(INKWREN_SERVER, QStringList{"--port", "0"} + args);
  if (!server.waitForStarted(30000))
    return -1;
  QByteArray out;
  static const QRegularExpression listening("listening on https?://127\\.0\\.0\\.1:(\\d+)/");
  while (server.waitForReadyRead(30000)) {
    out += server.readAll();
    const auto m = listening.match(QString::fromUtf8(out));
    if (m.hasMatch())
      return m.captured(1).toInt();
  }
  ADD_FAILURE() << out.toStdString();
  return -1;
}

int runAdmin(const QString &data, const QStringList &args, const QByteArray &password = {}) {
  QProcess admin;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("INKWREN_PASSWORD", QString::fromUtf8(password));
  admin.setProcessEnvironment(env);
  admin.start(INKWREN_SERVER, QStringList{"admin", "--data", data} + args);
  if (!admin.waitForFinished(60000))
    return -1;
  return admin.exitStatus() == QProcess::NormalExit ? admin.exitCode() : -1;
}

TEST(Program, StartsAdministersAndStopsOnSigterm) {
  QTemporaryDir data;
  QProcess server;
  const int port = startServer(server, {"--data", data.path()});
  ASSERT_GT(port, 0);
  // A second process adds the user while the service runs on the same database.
  ASSERT_EQ(runAdmin(data.path(), {"adduser", "张 三"}, "secret12"), 0);
  EXPECT_NE(runAdmin(data.path(), {"adduser", "张 三"}, "secret12"), 0);
  EXPECT_NE(runAdmin(data.path(), {"no-such-command"}), 0);

  httplib::Client client("127.0.0.1", port);
  const auto res =
      client.Post("/iw_login.php",
                  FormBody::encode({{"username", "张 三"}, {"password", "secret12"}}).toStdString(),
                  "application/x-www-form-urlencoded");
  ASSERT_TRUE(res);
  EXPECT_NE(res->body.find("<ok>"), std::string::npos);

  server.terminate();
  ASSERT_TRUE(server.waitForFinished(30000));
  EXPECT_EQ(server.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(server.exitCode(), 0);
  EXPECT_TRUE(server.readAll().contains("stopped"));
}

TEST(Program, ServesHttpsWithACertificateAndKey) {
  QTemporaryDir data;
  const QString cert = data.path() + "/cert.pem", key = data.path() + "/key.pem";
  QProcess openssl;
  openssl.start("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-subj",
                            "/CN=127.0.0.1", "-days", "2", "-keyout", key, "-out", cert});
  if (!openssl.waitForFinished(60000) || openssl.exitCode() != 0)
    GTEST_SKIP() << "openssl cannot make a test certificate";
  QProcess server;
  const int port = startServer(server, {"--data", data.path(), "--cert", cert, "--key", key});
  ASSERT_GT(port, 0);

  httplib::SSLClient tls("127.0.0.1", port);
  tls.enable_server_certificate_verification(false);
  const auto page = tls.Get("/member.php?mod=register");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_TRUE(
      inkwren::codec::decode(QByteArray::fromStdString(page->body)).contains("免费申请账号"));
  httplib::Client plain("127.0.0.1", port);
  plain.set_read_timeout(5, 0);
  const auto refused = plain.Get("/");
  EXPECT_FALSE(refused && refused->status == 200);

  server.terminate();
  EXPECT_TRUE(server.waitForFinished(30000));
}

} // namespace
