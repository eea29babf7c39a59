#pragma once
// The speech engine the read-aloud controller talks to: a list of voices, the voice, rate and
// volume in use, an asynchronous speak request, pause, resume, a stop that empties the queue,
// the status, and two events: a word is heard (its character position and length in the text
// of its request) and a request was heard to its end.
//
// Every request gets a stream number, counted up from 1 over the engine's life. Requests are
// spoken one after the other. Positions are 0-based UTF-16 offsets into the request's text.
//
// An engine that cannot speak (no voice data, no sound device) says why in problem(); speak()
// then refuses the request (returns 0) and emits cannotSpeak with the same reason, so the
// program keeps running and the user learns why nothing is heard.
//
// Threads: main thread only; the events are emitted on the main thread.
#include <QObject>
#include <QString>
#include <QStringList>

namespace inkwren {

class SpeechEngine : public QObject {
  Q_OBJECT
public:
  enum class Status {
    Idle,     // nothing queued
    Speaking, // a request is being heard or waits for its audio
    Paused,
  };

  // Rates and volumes as the settings hold them.
  static constexpr int kMinRate = -10, kMaxRate = 10;
  static constexpr int kMinVolume = 0, kMaxVolume = 100;

  using QObject::QObject;
  ~SpeechEngine() override = default;

  // The installed voices, by index; their names as shown to the user.
  virtual QStringList voices() = 0;
  // Makes voice number index the voice of the next requests. False (and the voice in use
  // stays) when there is no such voice.
  virtual bool setVoice(int index) = 0;
  // The voice in use; -1 while it is the engine's default.
  virtual int voice() const = 0;
  // Speaking rate -10 (slowest) to 10 (fastest), 0 normal; volume 0 to 100. Values outside the
  // range are clamped. They apply to the next requests.
  virtual void setRate(int rate) = 0;
  virtual int rate() const = 0;
  virtual void setVolume(int volume) = 0;
  virtual int volume() const = 0;

  // Queues text to be spoken and returns its stream number at once; 0 when the engine cannot
  // speak (see problem()).
  virtual int speak(const QString &text) = 0;
  // Drops every queued request and silences the one being heard, at once. The dropped
  // requests end without an endStream event.
  virtual void purge() = 0;
  virtual void pause() = 0;
  virtual void resume() = 0;
  virtual Status status() const = 0;
  // The stream number of the latest request (0 before the first).
  virtual int lastStream() const = 0;

  // Why the engine cannot speak; empty when it can.
  virtual QString problem() const = 0;

signals:
  // The audio has reached a word of request `stream`: text[position, position + length).
  void word(int stream, int position, int length);
  // Request `stream` has been heard to its end.
  void endStream(int stream);
  // A request was refused or speaking broke off (no voice data, sound device failed).
  void cannotSpeak(const QString &why);
};

} // namespace inkwren
