#include "speech/ui/mpris.h"

#include "speech/ui/mprisadaptors.h"

#include <QAction>
#include <QDBusMessage>
#include <QDBusObjectPath>

namespace inkwren {

namespace {

constexpr const char *kPlayerInterface = "org.mpris.MediaPlayer2.Player";

void press(QAction *action) {
  if (action && action->isEnabled())
    action->trigger();
}

} // namespace

MprisPlayer::MprisPlayer(SpeechController &voice, Commands commands, QDBusConnection bus)
    : voice_(voice), commands_(std::move(commands)), bus_(std::move(bus)) {
  new MprisRootAdaptor(this);
  new MprisPlayerAdaptor(this);
  connect(&voice_, &SpeechController::buttonsChanged, this, &MprisPlayer::changed);
  connect(&voice_, &SpeechController::nowReadingChanged, this, &MprisPlayer::changed);
}

MprisPlayer::~MprisPlayer() {
  if (published_) {
    bus_.unregisterService(QLatin1String(kService));
    bus_.unregisterObject(QLatin1String(kPath));
  }
}

bool MprisPlayer::publish() {
  if (published_)
    return true;
  if (!bus_.isConnected() ||
      !bus_.registerObject(QLatin1String(kPath), this, QDBusConnection::ExportAdaptors))
    return false;
  if (!bus_.registerService(QLatin1String(kService))) {
    bus_.unregisterObject(QLatin1String(kPath));
    return false;
  }
  published_ = true;
  return true;
}

QString MprisPlayer::playbackStatus() const {
  switch (voice_.buttons().state) {
  case VoiceButtons::State::Speak:
    return QStringLiteral("Playing");
  case VoiceButtons::State::Pause:
    return QStringLiteral("Paused");
  default:
    return QStringLiteral("Stopped");
  }
}

QVariantMap MprisPlayer::metadata() const {
  QVariantMap m;
  if (voice_.nowReading().isEmpty()) {
    m.insert(QStringLiteral("mpris:trackid"),
             QVariant::fromValue(QDBusObjectPath("/org/mpris/MediaPlayer2/TrackList/NoTrack")));
    return m;
  }
  const bool chapter = !voice_.voicezjid().isEmpty();
  const QString track = chapter ? QStringLiteral("/org/inkwren/book%1/chapter%2")
                                      .arg(voice_.voicebookid(), voice_.voicezjid())
                                : QStringLiteral("/org/inkwren/file");
  m.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(track)));
  m.insert(QStringLiteral("xesam:title"), chapter ? voice_.voicezjname() : voice_.nowReading());
  if (chapter)
    m.insert(QStringLiteral("xesam:album"), voice_.voicebookname());
  return m;
}

bool MprisPlayer::canStep() const {
  return voice_.buttons().stepEnabled;
}

bool MprisPlayer::canPlay() const {
  return voice_.buttons().beginEnabled;
}

void MprisPlayer::playPause() {
  press(commands_.voicebegin);
}

void MprisPlayer::play() {
  if (!voice_.speaking())
    press(commands_.voicebegin);
}

void MprisPlayer::pause() {
  if (voice_.speaking())
    press(commands_.voicebegin);
}

void MprisPlayer::stop() {
  press(commands_.voicestop);
}

void MprisPlayer::next() {
  press(commands_.readnext);
}

void MprisPlayer::previous() {
  press(commands_.readlast);
}

void MprisPlayer::raise() {
  if (commands_.raise)
    commands_.raise();
}

void MprisPlayer::changed() {
  const QVariantMap now{{QStringLiteral("PlaybackStatus"), playbackStatus()},
                        {QStringLiteral("Metadata"), metadata()},
                        {QStringLiteral("CanGoNext"), canStep()},
                        {QStringLiteral("CanGoPrevious"), canStep()},
                        {QStringLiteral("CanPlay"), canPlay()},
                        {QStringLiteral("CanPause"), canPlay()}};
  QVariantMap changes;
  for (auto it = now.begin(); it != now.end(); ++it)
    if (shown_.value(it.key()) != it.value())
      changes.insert(it.key(), it.value());
  shown_ = now;
  if (!published_ || changes.isEmpty())
    return;
  QDBusMessage signal = QDBusMessage::createSignal(
      QLatin1String(kPath), QStringLiteral("org.freedesktop.DBus.Properties"),
      QStringLiteral("PropertiesChanged"));
  signal << QLatin1String(kPlayerInterface) << changes << QStringList();
  bus_.send(signal);
}

} // namespace inkwren
