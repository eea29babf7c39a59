#pragma once
// The synthesis side of EspeakEngine: runs on the engine's worker thread and hands the audio
// of each request to the main thread in chunks, by queued signals, as it is synthesised.
//
// Threads: synthesize runs on the worker thread; the signals are received on the main thread.
#include "speech/espeaksynth.h"

#include <QByteArray>
#include <QList>
#include <QObject>

#include <atomic>

namespace inkwren {

class EspeakWorker : public QObject {
  Q_OBJECT
public:
  // Requests with a stream number up to `purgedUpTo` are dropped, also in mid-synthesis.
  EspeakWorker(EspeakSynth &synth, const std::atomic<int> &purgedUpTo)
      : synth_(synth), purgedUpTo_(purgedUpTo) {}

public slots:
  void synthesize(int stream, const QString &text, int voice, int rate, int volume);

signals:
  // Samples (16-bit mono, native byte order) and the words that start in them; word samples
  // are counted from the start of the stream's audio.
  void chunk(int stream, const QByteArray &pcm, const QList<inkwren::SpeechWord> &words);
  // The whole request has been synthesised (complete false: it was dropped or failed).
  void done(int stream, bool complete);

private:
  EspeakSynth &synth_;
  const std::atomic<int> &purgedUpTo_;
};

} // namespace inkwren
