#pragma once
// The two D-Bus interfaces of the MPRIS 2 player, on MprisPlayer (which does the work).
// Main thread only.
#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QStringList>
#include <QVariantMap>

namespace inkwren {

class MprisPlayer;

class MprisRootAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
  Q_PROPERTY(bool CanQuit READ canQuit)
  Q_PROPERTY(bool CanRaise READ canRaise)
  Q_PROPERTY(bool HasTrackList READ hasTrackList)
  Q_PROPERTY(QString Identity READ identity)
  Q_PROPERTY(QString DesktopEntry READ desktopEntry)
  Q_PROPERTY(QStringList SupportedUriSchemes READ none)
  Q_PROPERTY(QStringList SupportedMimeTypes READ none)
public:
  explicit MprisRootAdaptor(MprisPlayer *player);
  bool canQuit() const { return false; }
  bool canRaise() const { return true; }
  bool hasTrackList() const { return false; }
  QString identity() const { return QStringLiteral("墨鹪"); }
  QString desktopEntry() const { return QStringLiteral("inkwren"); }
  QStringList none() const { return {}; }

public Q_SLOTS:
  void Raise();
  void Quit() {}

private:
  MprisPlayer *player_;
};

class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
  Q_PROPERTY(double Rate READ one)
  Q_PROPERTY(double MinimumRate READ one)
  Q_PROPERTY(double MaximumRate READ one)
  Q_PROPERTY(QVariantMap Metadata READ metadata)
  Q_PROPERTY(double Volume READ one)
  Q_PROPERTY(qlonglong Position READ position)
  Q_PROPERTY(bool CanGoNext READ canStep)
  Q_PROPERTY(bool CanGoPrevious READ canStep)
  Q_PROPERTY(bool CanPlay READ canPlay)
  Q_PROPERTY(bool CanPause READ canPlay)
  Q_PROPERTY(bool CanSeek READ no)
  Q_PROPERTY(bool CanControl READ yes)
public:
  explicit MprisPlayerAdaptor(MprisPlayer *player);
  QString playbackStatus() const;
  QVariantMap metadata() const;
  double one() const { return 1.0; }
  qlonglong position() const { return 0; }
  bool canStep() const;
  bool canPlay() const;
  bool no() const { return false; }
  bool yes() const { return true; }

public Q_SLOTS:
  void Next();
  void Previous();
  void Pause();
  void PlayPause();
  void Stop();
  void Play();
  void Seek(qlonglong) {}
  void SetPosition(const QDBusObjectPath &, qlonglong) {}
  void OpenUri(const QString &) {}

Q_SIGNALS:
  void Seeked(qlonglong position);

private:
  MprisPlayer *player_;
};

} // namespace inkwren
