#pragma once
// Reading aloud as an MPRIS 2 media player on the session bus (org.mpris.MediaPlayer2.inkwren):
// media keys and the desktop's media widgets play, pause, stop and go to the next or previous
// chapter by pressing the read-aloud commands, and show the book (album) and chapter (title)
// being read and whether it is playing, paused or stopped, following the controller.
//
// Main thread only.
#include "speech/speechcontroller.h"

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>

class QAction;

namespace inkwren {

class MprisPlayer : public QObject {
  Q_OBJECT
public:
  // The read-aloud commands the player presses.
  struct Commands {
    QAction *voicebegin, *voicestop, *readlast, *readnext;
    std::function<void()> raise; // brings the main window to the front
  };
  static constexpr const char *kService = "org.mpris.MediaPlayer2.inkwren";
  static constexpr const char *kPath = "/org/mpris/MediaPlayer2";

  MprisPlayer(SpeechController &voice, Commands commands,
              QDBusConnection bus = QDBusConnection::sessionBus());
  ~MprisPlayer() override;

  // Registers the player on the bus; false when the bus is not there or the name is taken.
  bool publish();

  // What the player shows.
  QString playbackStatus() const; // "Playing", "Paused" or "Stopped"
  QVariantMap metadata() const;
  bool canStep() const;
  bool canPlay() const;

  // What the bus asks for.
  void playPause();
  void play();
  void pause();
  void stop();
  void next();
  void previous();
  void raise();

private:
  void changed();

  SpeechController &voice_;
  Commands commands_;
  QDBusConnection bus_;
  bool published_ = false;
  QVariantMap shown_; // the properties last announced
};

} // namespace inkwren
