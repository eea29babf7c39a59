#pragma once
// The speech engine of the program: espeak-ng synthesises each request into memory on a
// worker thread, chunk by chunk, and the audio plays through an AudioOutput (Qt Multimedia in
// the program) as soon as the first chunk is there, while the rest is still synthesised. Word
// and end-of-stream events wait until the played clock of the output reaches them, so they
// follow what is heard, not what was synthesised.
//
// With no voice data or no sound device the engine is still made; problem() says why and
// every speak request is refused with cannotSpeak.
//
// Threads: main thread only (the worker thread is the engine's own).
#include "speech/audiooutput.h"
#include "speech/espeaksynth.h"
#include "speech/speechengine.h"

#include <QThread>
#include <QTimer>

#include <atomic>
#include <deque>
#include <memory>

namespace inkwren {

class EspeakWorker;

class EspeakEngine : public SpeechEngine {
  Q_OBJECT
public:
  // dataPath: the folder holding espeak-ng-data (the library's default when empty).
  explicit EspeakEngine(std::unique_ptr<AudioOutput> output, const QString &dataPath = {},
                        QObject *parent = nullptr);
  ~EspeakEngine() override;

  QStringList voices() override;
  bool setVoice(int index) override;
  int voice() const override { return voice_; }
  void setRate(int rate) override;
  int rate() const override { return rate_; }
  void setVolume(int volume) override;
  int volume() const override { return volume_; }
  int speak(const QString &text) override;
  void purge() override;
  void pause() override;
  void resume() override;
  Status status() const override;
  int lastStream() const override { return last_; }
  QString problem() const override;

  // How often the played clock is read and the output fed.
  static constexpr int kTickMs = 20;
  // How far, in seconds of audio, the synthesis may run ahead of what has been heard.
  static constexpr int kAheadSeconds = 30;

  // Moves the engine on: feeds the output and delivers the events the played clock has
  // reached. Runs on a timer while speaking; tests call it after moving a fake output's clock.
  void tick();

private:
  struct Event {
    int stream;
    qint64 sample; // on the output's clock
    int position = 0, length = 0;
    bool end = false;
  };

  void onChunk(int stream, const QByteArray &pcm, const QList<SpeechWord> &words);
  void onDone(int stream, bool complete);
  void streamStarts(int stream);
  void closeOutput();

  EspeakSynth synth_;
  std::unique_ptr<AudioOutput> output_;
  QThread thread_;
  EspeakWorker *worker_ = nullptr; // lives on thread_
  QTimer timer_;
  std::atomic<int> purgedUpTo_{0};
  // Samples the worker handed over / of those, played or dropped here.
  std::atomic<qint64> produced_{0}, consumed_{0};
  qint64 received_ = 0; // samples received from the worker, dropped ones included
  void updateConsumed();

  int voice_ = -1, rate_ = 0, volume_ = 100, last_ = 0;
  int open_ = 0; // requests not yet ended
  bool outputOpen_ = false;
  int openings_ = 0; // times the output was opened
  bool paused_ = false;
  QByteArray unwritten_; // audio the output has not taken yet
  qint64 queued_ = 0;    // samples on the output's clock so far (written or waiting)
  int synthStream_ = 0;  // the stream whose audio is being queued
  qint64 streamBase_ = 0;
  std::deque<Event> events_;
};

} // namespace inkwren
