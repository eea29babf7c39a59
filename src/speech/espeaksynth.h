#pragma once
// Speech synthesis with libespeak-ng into memory: text in, 16-bit mono samples and word events
// out, delivered in chunks while the synthesis goes on (so playback can start before the end
// of a long text is synthesised).
//
// libespeak-ng keeps its state per process: make one EspeakSynth per process and call it from
// one thread at a time (the thread that calls synthesize may differ from the one that made it,
// as long as calls never overlap).
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

namespace inkwren {

// A word of the synthesised text: its UTF-16 position and length in the text, and the sample
// (counted from the start of the text's audio) where it begins.
struct SpeechWord {
  int position = 0;
  int length = 0;
  qint64 sample = 0;
};

class EspeakSynth {
public:
  // Receives the samples and the words of one chunk; returns false to abort the synthesis.
  using Chunk = std::function<bool(const int16_t *samples, int count, const QList<SpeechWord> &)>;

  // Loads the voice data from dataPath (the folder holding espeak-ng-data), the library's
  // default location when empty. When that fails, problem() says why and nothing speaks.
  explicit EspeakSynth(const QString &dataPath = {});
  EspeakSynth(const EspeakSynth &) = delete;
  EspeakSynth &operator=(const EspeakSynth &) = delete;

  bool ok() const { return problem_.isEmpty(); }
  QString problem() const { return problem_; }
  int sampleRate() const { return sampleRate_; }

  // Names shown for the voices, by index ("name (language)"); Mandarin first, then Cantonese.
  QStringList voiceNames() const;
  // The index of the voice of a language ("cmn"), -1 when there is none.
  int voiceOf(const QByteArray &language) const;
  // The voice used when none was chosen: Mandarin when installed, else the first voice.
  int defaultVoice() const;

  // Synthesises text with voice number `voice` (the default one when out of range), rate -10
  // to 10 and volume 0 to 100 (clamped). Returns false when nothing could be synthesised (no
  // voice data) or the chunk callback aborted.
  bool synthesize(const QString &text, int voice, int rate, int volume, const Chunk &chunk);

  // The settings' ranges mapped onto the library's: rate -10..10 to words per minute (0 the
  // library's normal 175, each step a factor of 3^(1/10), kept within its 80..450); volume
  // 0..100 to the library's amplitude 0..100 (its normal level is 100).
  static int wordsPerMinute(int rate);
  static int amplitude(int volume);

private:
  struct Voice {
    QByteArray name;     // what the library selects it by
    QByteArray language; // first language code
    QString shown;
  };
  QList<Voice> voices_;
  QString problem_;
  int sampleRate_ = 0;
};

} // namespace inkwren
