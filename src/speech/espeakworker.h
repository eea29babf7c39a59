#pragma once
// The synthesis side of EspeakEngine: runs on the engine's worker thread and hands the audio
// of each request to the main thread in chunks, by queued signals, as it is synthesised. It
// stays at most `aheadLimit` samples ahead of what has been heard, so a long chapter is not
// held in memory as a whole: it waits while the audio handed over and not yet heard exceeds
// the limit (a purge ends the wait at once).
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
  // produced: samples handed over so far (counted here); consumed: samples the engine has
  // played or dropped of those (counted by the engine).
  EspeakWorker(EspeakSynth &synth, const std::atomic<int> &purgedUpTo,
               std::atomic<qint64> &produced, const std::atomic<qint64> &consumed,
               qint64 aheadLimit)
      : synth_(synth), purgedUpTo_(purgedUpTo), produced_(produced), consumed_(consumed),
        aheadLimit_(aheadLimit) {}

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
  std::atomic<qint64> &produced_;
  const std::atomic<qint64> &consumed_;
  const qint64 aheadLimit_;
};

} // namespace inkwren
