// The read-aloud controller on the fake engine: which chapter is handed over, the button
// states, the end of a stream with and without going on, read marks and local files.
#include "speech/speechcontroller.h"

#include "core/codec.h"
#include "reader/readmarks.h"
#include "shelf/bookshelf.h"
#include "shelf/chapterfiles.h"
#include "shelf/chapterstore.h"
#include "shelf/currentbook.h"
#include "shelf/shelf_fixture.h"
#include "support/fake_speech_engine.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>

using namespace inkwren;
using namespace inkwren::test;
using State = VoiceButtons::State;

namespace {

struct SpeechControllerTest : ShelfFixture {
  CurrentBook current;
  Bookshelf shelf{services, current};
  ChapterStore chapters{db};
  ChapterFiles files{folder};
  ReadMarks marks{chapters, shelf};
  FakeSpeechEngine engine;
  SpeechController voice{{engine, settings, chapters, files, marks, messages},
                         std::chrono::milliseconds(0)};

  QString bookId;
  QStringList ids; // chapters 一, 二, 三 in order

  void SetUp() override {
    bookId = book(category(QStringLiteral("T"), 1), QStringLiteral("书"), 1);
    for (const char *name : {"一", "二", "三"}) {
      const QString id = chapter(bookId, QString::fromUtf8(name), ids.size() + 1);
      files.writeChapter(
          bookId, id, codec::encode(QStringLiteral("第%1章\r\n正文").arg(QString::fromUtf8(name))));
      ids << id;
    }
    shelf.drawbookpanel();
  }
  // Lets the hand-over wait pass.
  void settle() {
    QDeadlineTimer deadline(5000);
    while (voice.busy() && !deadline.hasExpired())
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  QString lastText() const {
    return engine.requests.empty() ? QString() : engine.requests.back().text;
  }
  int readstate(const QString &id) { return chapters.chapter(bookId, id)->readstate; }
};

TEST_F(SpeechControllerTest, ButtonTableRows) {
  struct Row {
    State state;
    int main, caption;
    bool begin, stop;
  } rows[] = {
      {State::Idle, 0, 23, false, false},
      {State::Speak, 1, 9, true, true},
      {State::Pause, 0, 8, true, true},
      {State::Stop, 0, 23, true, false},
  };
  for (const Row &r : rows) {
    for (bool chapterKnown : {false, true}) {
      const VoiceButtons b = VoiceButtons::of(r.state, chapterKnown);
      EXPECT_EQ(b.mainPicture, r.main);
      EXPECT_EQ(b.captionPicture, r.caption);
      EXPECT_EQ(b.beginEnabled, r.begin);
      EXPECT_EQ(b.stopEnabled, r.stop);
      EXPECT_EQ(b.stepEnabled, r.state != State::Idle && chapterKnown);
    }
  }
}

TEST_F(SpeechControllerTest, SpeakPauseResumeStopAndStartAgain) {
  QStringList cleared;
  QObject::connect(&voice, &SpeechController::captionCleared, [&] { cleared << "x"; });
  EXPECT_EQ(voice.buttons().state, State::Idle);
  voice.voicebegin(); // nothing requested yet: nothing happens
  EXPECT_TRUE(engine.requests.empty());

  voice.voicebook(bookId, ids[1], QStringLiteral("书"), QStringLiteral("二"));
  ASSERT_EQ(engine.requests.size(), 1u);
  EXPECT_EQ(lastText(), QStringLiteral("第二章\r\n正文\r\n"));
  EXPECT_EQ(voice.nowReading(), QStringLiteral("《书》二"));
  EXPECT_EQ(voice.buttons(), VoiceButtons::of(State::Speak, true));

  voice.voicebegin();
  EXPECT_EQ(engine.status(), SpeechEngine::Status::Paused);
  EXPECT_EQ(voice.buttons().state, State::Pause);
  voice.voicebegin();
  EXPECT_EQ(engine.status(), SpeechEngine::Status::Speaking);
  EXPECT_EQ(voice.buttons().state, State::Speak);

  settle();
  voice.voicestop();
  EXPECT_EQ(engine.purges, 1);
  EXPECT_TRUE(engine.queue.empty());
  EXPECT_EQ(voice.buttons(), VoiceButtons::of(State::Stop, true));
  EXPECT_EQ(cleared.size(), 1);

  // Start after a stop reads the remembered chapter again from its beginning.
  voice.voicebegin();
  ASSERT_EQ(engine.requests.size(), 2u);
  EXPECT_EQ(engine.requests.back().text, engine.requests.front().text);
  EXPECT_EQ(voice.buttons().state, State::Speak);

  // A new chapter while one is heard stops the old one first (purge), then speaks.
  settle();
  voice.readnext();
  EXPECT_EQ(engine.purges, 2);
  EXPECT_EQ(voice.voicezjid(), ids[2]);
}

TEST_F(SpeechControllerTest, EndOfStreamWhileBusyIsIgnored) {
  SpeechController slow{{engine, settings, chapters, files, marks, messages},
                        std::chrono::milliseconds(60000)};
  slow.voicebook(bookId, ids[0], QStringLiteral("书"), QStringLiteral("一"));
  ASSERT_TRUE(slow.busy());
  engine.finishStream();
  EXPECT_EQ(slow.buttons().state, State::Speak);
  EXPECT_EQ(slow.voicezjid(), ids[0]);
  EXPECT_EQ(engine.requests.size(), 1u);
  // A second request meanwhile is refused too.
  slow.voicebook(bookId, ids[1], QStringLiteral("书"), QStringLiteral("二"));
  EXPECT_EQ(engine.requests.size(), 1u);
}

TEST_F(SpeechControllerTest, AChapterThatEndsWhileHandedOverGoesOnAfterwards) {
  // An empty chapter (no text downloaded yet) ends at once, within the hand-over wait.
  ASSERT_TRUE(QFile::remove(files.chapterFile(bookId, ids[0])));
  voice.voicebook(bookId, ids[0], QStringLiteral("书"), QStringLiteral("一"));
  EXPECT_EQ(engine.requests.back().text, QString());
  engine.finishStream();
  EXPECT_EQ(voice.buttons().state, State::Speak);
  settle();
  EXPECT_EQ(voice.voicezjid(), ids[1]); // autonext once handed over
  EXPECT_EQ(engine.requests.size(), 2u);
}

TEST_F(SpeechControllerTest, AutonextGoesOnAndStopsAfterTheLastChapter) {
  voice.voicebookx(bookId, QStringLiteral("书"), QStringLiteral("first"));
  for (int i = 1; i < 3; ++i) {
    settle();
    engine.finishStream();
    EXPECT_EQ(voice.voicezjid(), ids[i]);
    EXPECT_EQ(voice.buttons().state, State::Speak);
  }
  settle();
  engine.finishStream();
  EXPECT_EQ(engine.requests.size(), 3u);
  EXPECT_EQ(voice.buttons(), VoiceButtons::of(State::Stop, true));

  // autonext "0": the end of a chapter stops.
  settings.setValue(Settings::autonext, QStringLiteral("0"));
  voice.readlast();
  settle();
  engine.finishStream();
  EXPECT_EQ(engine.requests.size(), 4u);
  EXPECT_EQ(voice.buttons().state, State::Stop);
}

TEST_F(SpeechControllerTest, TheEndOfAReplacedRequestLeavesTheNewOneAlone) {
  voice.voicebook(bookId, ids[0], QStringLiteral("书"), QStringLiteral("一"));
  settle();
  voice.readnext();
  settle();
  // An engine that still reports the end of the replaced request after the new one started.
  const size_t before = engine.requests.size();
  emit engine.endStream(1);
  EXPECT_EQ(voice.buttons().state, State::Speak);
  EXPECT_EQ(engine.requests.size(), before);
}

TEST_F(SpeechControllerTest, ReadMarksFollowVoiceread) {
  voice.voicebook(bookId, ids[0], QStringLiteral("书"), QStringLiteral("一"));
  EXPECT_EQ(readstate(ids[0]), 0); // marked once handed over
  settle();
  EXPECT_EQ(readstate(ids[0]), 1);
  EXPECT_EQ(shelf.getbn(bookId)->noreadcount, 2);

  settings.setValue(Settings::voiceread, QStringLiteral("0"));
  voice.readnext();
  settle();
  EXPECT_EQ(readstate(ids[1]), 0);
  EXPECT_EQ(shelf.getbn(bookId)->noreadcount, 2);
}

TEST_F(SpeechControllerTest, FromFirstAndFromUnread) {
  chapters.mark(bookId, {ids[0]}, true);
  voice.voicebookx(bookId, QStringLiteral("书"), QStringLiteral("noread"));
  EXPECT_EQ(voice.voicezjid(), ids[1]);
  settle();
  voice.voicebookx(bookId, QStringLiteral("书"), QStringLiteral("first"));
  EXPECT_EQ(voice.voicezjid(), ids[0]);
  settle();

  // Every chapter read: "from the first unread" does nothing.
  chapters.markAll(bookId, true);
  voice.voicestop();
  const size_t before = engine.requests.size();
  voice.voicebookx(bookId, QStringLiteral("书"), QStringLiteral("noread"));
  EXPECT_EQ(engine.requests.size(), before);
  EXPECT_EQ(voice.buttons().state, State::Stop);

  // Filtered chapters are skipped; at either end nothing happens.
  chapters.setShown(bookId, ids[1], false);
  voice.voicebook(bookId, ids[0], QStringLiteral("书"), QStringLiteral("一"));
  settle();
  voice.readnext();
  EXPECT_EQ(voice.voicezjid(), ids[2]);
  settle();
  voice.readnext();
  EXPECT_EQ(voice.voicezjid(), ids[2]);
  voice.readlast();
  EXPECT_EQ(voice.voicezjid(), ids[0]);
  settle();
  const size_t atFirst = engine.requests.size();
  voice.readlast();
  EXPECT_EQ(engine.requests.size(), atFirst);
}

TEST_F(SpeechControllerTest, LocalFileDisablesStepsAndIsNotRestarted) {
  const QString path = tmp.path() + QStringLiteral("/本地.txt");
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(codec::encode(QStringLiteral("\u3000\u3000甲  乙\t丙\r\n\r\n\r\n丁")));
  f.close();

  voice.voiceloc(path);
  EXPECT_EQ(lastText(), QStringLiteral("甲 乙丙\r\n丁\r\n"));
  EXPECT_EQ(voice.nowReading(), QStringLiteral("本地.txt"));
  EXPECT_EQ(voice.buttons(), VoiceButtons::of(State::Speak, false));
  EXPECT_FALSE(voice.buttons().stepEnabled);

  engine.finishStream();
  EXPECT_EQ(voice.buttons(), VoiceButtons::of(State::Stop, false));
  voice.readnext();
  voice.readlast();
  voice.voicebegin();
  EXPECT_EQ(engine.requests.size(), 1u);
  EXPECT_EQ(voice.buttons().mainPicture, VoiceButtons::kMainStart);
}

TEST_F(SpeechControllerTest, VoiceSettingsAndAnEngineThatCannotSpeak) {
  settings.setValue(Settings::voicechoise, QStringLiteral("1"));
  settings.setValue(Settings::voicerate, QStringLiteral("-3"));
  settings.setValue(Settings::voicevolume, QStringLiteral("40"));
  voice.voicebook(bookId, ids[0], QStringLiteral("书"), QStringLiteral("一"));
  ASSERT_EQ(engine.requests.size(), 1u);
  EXPECT_EQ(engine.requests[0].voice, 1);
  EXPECT_EQ(engine.requests[0].rate, -3);
  EXPECT_EQ(engine.requests[0].volume, 40);
  settle();

  // A voice that isn't there and values that are not numbers leave what the engine has.
  settings.setValue(Settings::voicechoise, QStringLiteral("7"));
  settings.setValue(Settings::voicerate, QStringLiteral("fast"));
  settings.setValue(Settings::voicevolume, QString());
  voice.readnext();
  ASSERT_EQ(engine.requests.size(), 2u);
  EXPECT_EQ(engine.requests[1].voice, 1);
  EXPECT_EQ(engine.requests[1].rate, -3);
  EXPECT_EQ(engine.requests[1].volume, 40);
  settle();

  // No voice data: the user is told why, the buttons show stopped, nothing is marked read.
  engine.why = QStringLiteral("没有语音数据");
  voice.readnext();
  settle();
  EXPECT_EQ(messages.said.value(0), QStringLiteral("无法朗读：没有语音数据"));
  EXPECT_EQ(voice.buttons().state, State::Stop);
  EXPECT_EQ(readstate(ids[2]), 0);
  EXPECT_FALSE(voice.busy());
}

TEST_F(SpeechControllerTest, WordsOfTheCurrentRequestReachTheCaption) {
  std::vector<std::pair<int, int>> words;
  QObject::connect(&voice, &SpeechController::spokenWord,
                   [&](int p, int l) { words.emplace_back(p, l); });
  voice.voicebook(bookId, ids[0], QStringLiteral("书"), QStringLiteral("一"));
  engine.hearWord(0, 1);
  emit engine.word(0, 5, 1); // an older request
  engine.hearWord(4, 2);
  EXPECT_EQ(words, (std::vector<std::pair<int, int>>{{0, 1}, {4, 2}}));
}

} // namespace
