// The media player on a private session bus (a dbus-daemon of the test's own): a client sees
// the state and the book and chapter being read, and its calls press the read-aloud commands.
#include "shelf/ui/booktree.h"
#include "shell/ui/mainform.h"
#include "shell/ui/programwindow.h"
#include "speech/ui/mpris.h"
#include "speech_fixture.h"

#include <QAction>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

using namespace inkwren;
using namespace inkwren::test;

namespace {

struct MprisTest : DataFixture {
  QProcess daemon;
  std::optional<QDBusConnection> server, client;
  FakeSpeechEngine *engine = nullptr;
  std::unique_ptr<ProgramWindow> window;
  std::unique_ptr<MprisPlayer> player;
  SpeechBook book;
  QString bookId;
  QStringList ids;

  void SetUp() override {
    DataFixture::SetUp();
    const QString exe = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (exe.isEmpty())
      GTEST_SKIP() << "no dbus-daemon";
    daemon.start(exe, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                       QStringLiteral("--print-address=1")});
    ASSERT_TRUE(daemon.waitForStarted(5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return daemon.canReadLine(); }, 5000));
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    server = QDBusConnection::connectToBus(address, QStringLiteral("inkwren-mpris-server"));
    client = QDBusConnection::connectToBus(address, QStringLiteral("inkwren-mpris-client"));
    ASSERT_TRUE(server->isConnected());
    ASSERT_TRUE(client->isConnected());

    openLibrary();
    book.make(*this, false);
    engine = book.engine;
    bookId = book.bookId;
    ids = book.ids;
    window = std::make_unique<ProgramWindow>(app, makeFakeHtmlView);
    app.shelf.drawbookpanel();
    Tmainform &main = window->main();
    auto cmd = [&](const char *name) { return main.command(QLatin1String(name)); };
    player = std::make_unique<MprisPlayer>(
        app.speech(),
        MprisPlayer::Commands{
            cmd("voicebegin"), cmd("voicestop"), cmd("readlast"), cmd("readnext"), {}},
        *server);
    ASSERT_TRUE(player->publish());
  }
  void TearDown() override {
    player.reset();
    window.reset();
    if (server)
      QDBusConnection::disconnectFromBus(server->name());
    if (client)
      QDBusConnection::disconnectFromBus(client->name());
    if (daemon.state() != QProcess::NotRunning) {
      daemon.kill();
      daemon.waitForFinished(5000);
    }
  }

  QDBusMessage send(const QDBusMessage &m) {
    QDBusPendingCall pending = client->asyncCall(m);
    EXPECT_TRUE(QTest::qWaitFor([&] { return pending.isFinished(); }, 5000));
    return pending.reply();
  }
  void call(const char *method) {
    const QDBusMessage reply = send(QDBusMessage::createMethodCall(
        QLatin1String(MprisPlayer::kService), QLatin1String(MprisPlayer::kPath),
        QStringLiteral("org.mpris.MediaPlayer2.Player"), QLatin1String(method)));
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << method;
    settle();
  }
  QVariant property(const char *name) {
    QDBusMessage m = QDBusMessage::createMethodCall(
        QLatin1String(MprisPlayer::kService), QLatin1String(MprisPlayer::kPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    m << QStringLiteral("org.mpris.MediaPlayer2.Player") << QLatin1String(name);
    return send(m).arguments().value(0).value<QDBusVariant>().variant();
  }
  QString status() { return property("PlaybackStatus").toString(); }
  QVariantMap metadata() {
    return qdbus_cast<QVariantMap>(property("Metadata").value<QDBusArgument>());
  }
  void settle() {
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app.speech().busy(); }, 5000));
  }
};

TEST_F(MprisTest, ClientsSeeTheStateAndPressTheCommands) {
  EXPECT_EQ(status(), QStringLiteral("Stopped"));
  EXPECT_FALSE(property("CanGoNext").toBool());
  EXPECT_FALSE(metadata().contains(QStringLiteral("xesam:title")));
  call("PlayPause"); // nothing requested yet: nothing to play
  EXPECT_TRUE(engine->requests.empty());

  BookTree &tree = window->shelf().tree();
  tree.setCurrentItem(tree.getbn(bookId));
  window->main().command(QStringLiteral("N21"))->trigger();
  settle();
  EXPECT_EQ(status(), QStringLiteral("Playing"));
  QVariantMap m = metadata();
  EXPECT_EQ(m.value(QStringLiteral("xesam:album")).toString(), QStringLiteral("书"));
  EXPECT_EQ(m.value(QStringLiteral("xesam:title")).toString(), QStringLiteral("第1章"));
  EXPECT_TRUE(property("CanGoNext").toBool());

  call("PlayPause");
  EXPECT_EQ(status(), QStringLiteral("Paused"));
  call("Pause"); // already paused: stays
  EXPECT_EQ(status(), QStringLiteral("Paused"));
  call("Play");
  EXPECT_EQ(status(), QStringLiteral("Playing"));
  call("Next");
  EXPECT_EQ(app.speech().voicezjid(), ids[1]);
  EXPECT_EQ(metadata().value(QStringLiteral("xesam:title")).toString(), QStringLiteral("第2章"));
  call("Previous");
  EXPECT_EQ(app.speech().voicezjid(), ids[0]);
  call("Stop");
  EXPECT_EQ(status(), QStringLiteral("Stopped"));
  EXPECT_EQ(engine->requests.size(), 3u);
}

} // namespace
