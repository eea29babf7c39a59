// espeak-ng for real: a Chinese sentence synthesised into memory with its word events, the
// settings' rate and volume taking effect, and the engine delivering words and the end of a
// stream by the played clock of its output (a fake output: no sound device needed).
#include "speech/espeakengine.h"
#include "speech/espeaksynth.h"
#include "speech/qtaudiooutput.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using namespace inkwren;

namespace {

const QString kSentence =
    QStringLiteral("今天天气很好，我们去公园散步吧。明天下雨，就在家里读书。");

struct Synthesised {
  qint64 samples = 0;
  int peak = 0;
  QList<SpeechWord> words;
};

Synthesised synthesise(EspeakSynth &synth, const QString &text, int rate = 0, int volume = 100) {
  Synthesised out;
  const bool ok =
      synth.synthesize(text, synth.defaultVoice(), rate, volume,
                       [&](const int16_t *samples, int count, const QList<SpeechWord> &words) {
                         for (const SpeechWord &w : words)
                           out.words.append({w.position, w.length, w.sample});
                         for (int i = 0; i < count; ++i)
                           out.peak = std::max(out.peak, std::abs(int(samples[i])));
                         out.samples += count;
                         return true;
                       });
  EXPECT_TRUE(ok);
  return out;
}

EspeakSynth &sharedSynth() {
  static EspeakSynth synth;
  return synth;
}

TEST(EspeakSynth, SpeaksChineseIntoMemoryWithWordsInOrder) {
  EspeakSynth &synth = sharedSynth();
  ASSERT_TRUE(synth.ok()) << synth.problem().toStdString();
  EXPECT_GE(synth.voiceOf("cmn"), 0);
  EXPECT_GE(synth.voiceOf("yue"), 0);
  EXPECT_EQ(synth.defaultVoice(), synth.voiceOf("cmn"));
  // The settings' default voice number 0 is Mandarin.
  EXPECT_EQ(synth.voiceOf("cmn"), 0);

  const Synthesised s = synthesise(synth, kSentence);
  EXPECT_GT(s.samples, synth.sampleRate()); // more than a second of speech
  EXPECT_GT(s.peak, 1000);
  ASSERT_GE(s.words.size(), 4);
  for (qsizetype i = 0; i < s.words.size(); ++i) {
    const SpeechWord &w = s.words[i];
    EXPECT_GE(w.position, 0);
    EXPECT_GT(w.length, 0);
    EXPECT_LE(w.position + w.length, kSentence.size());
    EXPECT_LT(w.sample, s.samples);
    if (i > 0) {
      EXPECT_GT(w.position, s.words[i - 1].position) << i;
      EXPECT_GE(w.sample, s.words[i - 1].sample) << i;
    }
  }
  EXPECT_EQ(s.words.front().position, 0);
  // Chinese is followed character by character: every character but the punctuation.
  QList<int> spoken, han;
  for (const SpeechWord &w : s.words) {
    spoken.append(w.position);
    EXPECT_EQ(w.length, 1);
  }
  for (int i = 0; i < kSentence.size(); ++i)
    if (kSentence[i].script() == QChar::Script_Han)
      han.append(i);
  EXPECT_EQ(spoken, han);
  // The first word of the second sentence is found where it is in the text.
  const int second = int(kSentence.indexOf(QStringLiteral("明")));
  EXPECT_TRUE(std::any_of(s.words.begin(), s.words.end(),
                          [&](const SpeechWord &w) { return w.position == second; }));
}

TEST(EspeakSynth, RateAndVolumeTakeEffect) {
  EspeakSynth &synth = sharedSynth();
  ASSERT_TRUE(synth.ok());
  const Synthesised slow = synthesise(synth, kSentence, -10);
  const Synthesised normal = synthesise(synth, kSentence, 0);
  const Synthesised fast = synthesise(synth, kSentence, 10);
  EXPECT_GT(slow.samples, normal.samples);
  EXPECT_GT(normal.samples, fast.samples);
  EXPECT_EQ(synthesise(synth, kSentence, 0, 0).peak, 0);
  EXPECT_LT(synthesise(synth, kSentence, 0, 30).peak, normal.peak);
}

TEST(EspeakSynth, MixedTextKeepsWholeWords) {
  const QString text = QStringLiteral("第3章 hello world 你好");
  const Synthesised s = synthesise(sharedSynth(), text);
  QStringList words;
  for (const SpeechWord &w : s.words)
    words.append(text.mid(w.position, w.length));
  EXPECT_TRUE(words.contains(QStringLiteral("hello")));
  EXPECT_TRUE(words.contains(QStringLiteral("world")));
  EXPECT_EQ(words.count(QStringLiteral("hello")), 1);
  EXPECT_EQ(words.mid(words.size() - 2), (QStringList{QStringLiteral("你"), QStringLiteral("好")}));
}

TEST(EspeakSynth, SettingsRangesMapOntoTheLibrary) {
  struct Case {
    int rate, wpm;
  } rates[] = {{-20, 80}, {-10, 80}, {-5, 101}, {0, 175}, {5, 303}, {10, 450}, {99, 450}};
  for (const Case &c : rates)
    EXPECT_EQ(EspeakSynth::wordsPerMinute(c.rate), c.wpm) << c.rate;
  EXPECT_EQ(EspeakSynth::amplitude(-1), 0);
  EXPECT_EQ(EspeakSynth::amplitude(100), 100);
  EXPECT_EQ(EspeakSynth::amplitude(300), 100);
}

// An output that takes everything and plays as far as the test says.
struct FakeOutput : AudioOutput {
  QString refuse;
  qint64 written = 0, played = 0;
  bool isOpen = false, suspended = false;
  int opens = 0;
  QString open(int) override {
    if (!refuse.isEmpty())
      return refuse;
    ++opens;
    isOpen = true;
    written = played = 0;
    return {};
  }
  qint64 write(const char *, qint64 size) override {
    written += size / 2;
    return size;
  }
  qint64 playedSamples() const override { return std::min(played, written); }
  void suspend() override { suspended = true; }
  void resume() override { suspended = false; }
  void close() override { isOpen = false; }
  QString failure() const override { return {}; }
};

bool waitFor(const std::function<bool()> &done) {
  QDeadlineTimer deadline(30000);
  while (!done() && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

struct Heard {
  int stream, position, length;
  qint64 clock;
  bool end;
};

struct EngineTest : ::testing::Test {
  FakeOutput *output = new FakeOutput;
  EspeakEngine engine{std::unique_ptr<AudioOutput>(output)};
  std::vector<Heard> heard;
  QStringList refusals;

  void SetUp() override {
    QObject::connect(&engine, &SpeechEngine::word, [this](int s, int p, int l) {
      heard.push_back({s, p, l, output->played, false});
    });
    QObject::connect(&engine, &SpeechEngine::endStream, [this](int s) {
      heard.push_back({s, 0, 0, output->played, true});
    });
    QObject::connect(&engine, &SpeechEngine::cannotSpeak,
                     [this](const QString &why) { refusals.append(why); });
  }
  // Lets the synthesis run ahead while the clock stands still.
  void synthesiseAhead(qint64 atLeast) {
    ASSERT_TRUE(waitFor([&] {
      QCoreApplication::processEvents();
      return output->written >= atLeast;
    }));
    // The rest of the chunks and the end of the request.
    QDeadlineTimer settle(500);
    while (!settle.hasExpired())
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  void playTo(qint64 sample) {
    output->played = sample;
    engine.tick();
  }
  // Moves the clock on in steps of 10 ms of audio, never past what was written, while the
  // synthesis goes on, until an end of stream is heard.
  void playUntilEnd() {
    QDeadlineTimer deadline(30000);
    qint64 clock = output->played;
    while (!(!heard.empty() && heard.back().end) && !deadline.hasExpired()) {
      QCoreApplication::processEvents();
      clock = std::min(clock + 220, output->written);
      playTo(clock);
    }
  }
};

TEST_F(EngineTest, WordsAndEndFollowThePlayedClock) {
  ASSERT_TRUE(engine.problem().isEmpty()) << engine.problem().toStdString();
  EXPECT_GE(engine.voices().size(), 2);
  const int stream = engine.speak(kSentence);
  ASSERT_EQ(stream, 1);
  EXPECT_EQ(engine.status(), SpeechEngine::Status::Speaking);
  synthesiseAhead(22050);
  // Nothing has been played: at most a word at the very start is heard, and no end.
  for (const Heard &h : heard)
    EXPECT_FALSE(h.end);
  const size_t atStart = heard.size();
  EXPECT_LE(atStart, 1u);

  playUntilEnd();
  ASSERT_GE(heard.size(), 5u);
  EXPECT_TRUE(heard.back().end);
  EXPECT_EQ(heard.back().clock, output->written); // the end waits for the last sample
  for (size_t i = 0; i + 1 < heard.size(); ++i) {
    EXPECT_FALSE(heard[i].end);
    EXPECT_EQ(heard[i].stream, stream);
    if (i > 0) {
      EXPECT_GT(heard[i].position, heard[i - 1].position);
      EXPECT_GE(heard[i].clock, heard[i - 1].clock);
    }
  }
  // Words came one by one as the clock moved, not all at once.
  EXPECT_GT(heard[heard.size() - 2].clock, heard[atStart].clock);
  EXPECT_EQ(engine.status(), SpeechEngine::Status::Idle);
  EXPECT_FALSE(output->isOpen);
}

TEST_F(EngineTest, PurgeDropsEverythingAtOnce) {
  engine.speak(kSentence);
  engine.speak(kSentence);
  synthesiseAhead(22050);
  playTo(2205);
  const size_t before = heard.size();
  engine.purge();
  EXPECT_FALSE(output->isOpen);
  EXPECT_EQ(engine.status(), SpeechEngine::Status::Idle);
  QDeadlineTimer settle(500);
  while (!settle.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  engine.tick();
  EXPECT_EQ(heard.size(), before); // no late words, no end of the dropped requests

  // The next request is heard from its start on a fresh clock.
  const int next = engine.speak(QStringLiteral("下一章。"));
  EXPECT_EQ(next, 3);
  playUntilEnd();
  ASSERT_GT(heard.size(), before);
  EXPECT_EQ(heard[before].stream, next);
  EXPECT_TRUE(heard.back().end);
  EXPECT_EQ(heard.back().stream, next);
}

TEST_F(EngineTest, SynthesisStaysABoundedTimeAheadOfTheListener) {
  QString chapter;
  for (int i = 0; i < 60; ++i)
    chapter += kSentence;
  engine.speak(chapter);
  const qint64 limit = qint64(EspeakEngine::kAheadSeconds) * 22050;
  // While nothing is heard the synthesis stops a little past the limit.
  synthesiseAhead(limit);
  QDeadlineTimer settle(1500);
  while (!settle.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  const qint64 held = output->written;
  EXPECT_LE(held, limit + 22050);
  // As the listener catches up, more arrives.
  playTo(held);
  ASSERT_TRUE(waitFor([&] {
    engine.tick();
    return output->written > held + 22050;
  }));
  // A stop does not wait for the held-back synthesis.
  engine.purge();
  EXPECT_EQ(engine.status(), SpeechEngine::Status::Idle);
}

TEST_F(EngineTest, PauseHoldsTheOutputAndResumeGoesOn) {
  engine.speak(kSentence);
  engine.pause();
  EXPECT_EQ(engine.status(), SpeechEngine::Status::Paused);
  EXPECT_TRUE(output->suspended);
  engine.resume();
  EXPECT_FALSE(output->suspended);
  EXPECT_EQ(engine.status(), SpeechEngine::Status::Speaking);
  engine.purge();
}

TEST(EspeakEngineData, NoVoiceDataSaysWhyAndRefuses) {
  QTemporaryDir empty;
  auto *output = new FakeOutput;
  EspeakEngine engine(std::unique_ptr<AudioOutput>(output), empty.path());
  EXPECT_TRUE(engine.problem().contains(QStringLiteral("语音数据")));
  EXPECT_TRUE(engine.voices().isEmpty());
  EXPECT_FALSE(engine.setVoice(0));
  QStringList refusals;
  QObject::connect(&engine, &SpeechEngine::cannotSpeak,
                   [&](const QString &why) { refusals.append(why); });
  EXPECT_EQ(engine.speak(kSentence), 0);
  EXPECT_EQ(refusals, QStringList{engine.problem()});
  EXPECT_EQ(output->opens, 0);
  EXPECT_EQ(engine.status(), SpeechEngine::Status::Idle);
}

TEST_F(EngineTest, NoSoundDeviceSaysWhy) {
  output->refuse = QStringLiteral("没有找到声音输出设备，无法朗读");
  EXPECT_EQ(engine.speak(kSentence), 0);
  EXPECT_EQ(refusals, QStringList{output->refuse});
  EXPECT_EQ(engine.status(), SpeechEngine::Status::Idle);
  // Once a device is there, speaking works.
  output->refuse.clear();
  EXPECT_EQ(engine.speak(kSentence), 1);
  engine.purge();
}

TEST(QtAudioOutputEngine, SpeaksOrSaysWhyItCannot) {
  // With a sound device the request is taken; without one (a build machine) it is refused
  // with the reason, never dropped silently.
  EspeakEngine engine{std::make_unique<QtAudioOutput>()};
  QStringList refusals;
  QObject::connect(&engine, &SpeechEngine::cannotSpeak,
                   [&](const QString &why) { refusals.append(why); });
  const int stream = engine.speak(QStringLiteral("你好。"));
  if (stream == 0) {
    ASSERT_EQ(refusals.size(), 1);
    EXPECT_FALSE(refusals.front().isEmpty());
    EXPECT_EQ(engine.status(), SpeechEngine::Status::Idle);
  } else {
    EXPECT_TRUE(refusals.isEmpty());
    EXPECT_EQ(engine.status(), SpeechEngine::Status::Speaking);
  }
  engine.purge();
  EXPECT_EQ(engine.status(), SpeechEngine::Status::Idle);
}

} // namespace
