#include "speech/espeakworker.h"

#include <QThread>

namespace inkwren {

void EspeakWorker::synthesize(int stream, const QString &text, int voice, int rate, int volume) {
  if (stream <= purgedUpTo_.load()) {
    emit done(stream, false);
    return;
  }
  const bool complete =
      synth_.synthesize(text, voice, rate, volume,
                        [&](const int16_t *samples, int count, const QList<SpeechWord> &words) {
                          // Far enough ahead of the listener: wait until it catches up.
                          while (stream > purgedUpTo_.load() &&
                                 produced_.load() - consumed_.load() > aheadLimit_)
                            QThread::msleep(20);
                          if (stream <= purgedUpTo_.load())
                            return false;
                          produced_ += count;
                          if (count > 0 || !words.isEmpty())
                            emit chunk(stream,
                                       QByteArray(reinterpret_cast<const char *>(samples),
                                                  qsizetype(count) * qsizetype(sizeof(int16_t))),
                                       words);
                          return true;
                        });
  emit done(stream, complete);
}

} // namespace inkwren
