// Reading aloud: the time from a speak request for a 10 KB chapter to the first audio handed to
// the output, and the processor share of one core that synthesis takes while speaking (its
// processor time over the length of the audio it makes).
#include "core/codec.h"
#include "speech/espeakengine.h"
#include "speech/espeaksynth.h"
#include "speech/speechtext.h"
#include "support/chapter_text.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <benchmark/benchmark.h>

#include <ctime>

using namespace inkwren;

namespace {

struct CountingOutput : AudioOutput {
  qint64 written = 0;
  QString open(int) override {
    written = 0;
    return {};
  }
  qint64 write(const char *, qint64 size) override {
    written += size / 2;
    return size;
  }
  qint64 playedSamples() const override { return 0; }
  void suspend() override {}
  void resume() override {}
  void close() override {}
  QString failure() const override { return {}; }
};

void BM_SpeakToFirstAudio(benchmark::State &state) {
  auto *output = new CountingOutput;
  EspeakEngine engine{std::unique_ptr<AudioOutput>(output)};
  const QByteArray raw = bench::chapterText();
  for (auto _ : state) {
    const QString text = codec::decode(speakableText(raw));
    engine.speak(text);
    QDeadlineTimer deadline(30000);
    while (output->written == 0 && !deadline.hasExpired())
      QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    state.PauseTiming();
    if (output->written == 0)
      state.SkipWithError("no audio");
    engine.purge();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_SpeakToFirstAudio)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SynthesisCoreShare(benchmark::State &state) {
  EspeakSynth synth;
  const QString text = codec::decode(speakableText(bench::chapterText()));
  double cpu = 0, audio = 0;
  for (auto _ : state) {
    qint64 samples = 0;
    const std::clock_t start = std::clock();
    synth.synthesize(text, synth.defaultVoice(), 0, 100,
                     [&](const int16_t *, int count, const QList<SpeechWord> &) {
                       samples += count;
                       return true;
                     });
    cpu += double(std::clock() - start) / CLOCKS_PER_SEC;
    audio += double(samples) / synth.sampleRate();
  }
  state.counters["audio_s"] = audio / double(state.iterations());
  state.counters["core_share"] = audio > 0 ? cpu / audio : 0;
}
BENCHMARK(BM_SynthesisCoreShare)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
