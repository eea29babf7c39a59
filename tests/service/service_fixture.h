#pragma once
// The service tests' fixtures: the real inkwren-server started on 127.0.0.1 with a throwaway
// data folder and a user added by its administration command, and the program's object graph
// on a data folder of its own talking to it (or to a capture server, or to nothing).
#include "core/messages.h"
#include "shell/appcontext.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace inkwren::test {

// Messages kept for the test; questions are answered with `answer` and remembered.
struct ScriptedMessages : Messages {
  void tsxx(const QString &text) override { said << text; }
  bool qrxx(const QString &question) override {
    asked << question;
    return answer;
  }
  QStringList said, asked;
  bool answer = false;
};

// The inkwren-server program on a free port of 127.0.0.1, stopped when destroyed.
class ServerProcess {
public:
  ServerProcess() {
    server_.setProcessChannelMode(QProcess::MergedChannels);
    server_.start(QStringLiteral(INKWREN_SERVER),
                  {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--data"),
                   data_.path(), QStringLiteral("--no-register")});
    if (!server_.waitForStarted(30000))
      return;
    static const QRegularExpression listening(
        QStringLiteral("listening on http://127\\.0\\.0\\.1:(\\d+)/"));
    QByteArray out;
    while (port_ < 0 && server_.waitForReadyRead(30000)) {
      out += server_.readAll();
      const auto m = listening.match(QString::fromUtf8(out));
      if (m.hasMatch())
        port_ = m.captured(1).toInt();
    }
  }
  ~ServerProcess() {
    server_.terminate();
    if (!server_.waitForFinished(30000))
      server_.kill();
  }

  bool ok() const { return port_ > 0; }
  QString base() const { return QStringLiteral("http://127.0.0.1:%1/").arg(port_); }

  // Runs "inkwren-server admin --data DIR args…" with the password in its environment.
  int admin(const QStringList &args, const QString &password = {}) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("INKWREN_PASSWORD"), password);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(INKWREN_SERVER),
            QStringList{QStringLiteral("admin"), QStringLiteral("--data"), data_.path()} + args);
    if (!p.waitForFinished(60000))
      return -1;
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  }

private:
  QTemporaryDir data_;
  QProcess server_;
  int port_ = -1;
};

// The object graph on a fresh data folder (empty library), talking to webroot. Books added to
// the shelf never start an update.
struct Client {
  explicit Client(const QString &webroot)
      : app(std::make_unique<AppContext>(dir.path(), messages, webroot)) {
    QString error;
    EXPECT_TRUE(app->folder.prepare(&error, QString())) << error.toStdString();
    EXPECT_TRUE(app->openLibrary(&error)) << error.toStdString();
    app->updates.setUpdateNewBooks(false);
    app->shelf.drawbookpanel();
  }
  // The shelf as "category/name/author/address" lines in tree order.
  QStringList shelf() const {
    QStringList out;
    for (const auto &c : app->shelf.categories())
      for (const auto &b : c.books)
        out << c.item.name + u'/' + b.name + u'/' + b.authorname + u'/' + b.muluurl;
    return out;
  }

  QTemporaryDir dir;
  ScriptedMessages messages;
  std::unique_ptr<AppContext> app;
};

} // namespace inkwren::test
