// Reading a chapter aloud through the controller, as "朗读" does: the time from the command on
// a 10 KB chapter (file read, cleaned, handed to the espeak-ng engine) to the first audio
// samples handed to the audio output, and the processor time of the whole process (all
// threads) over the first seconds of playback, as a share of one core.
#include "core/codec.h"
#include "core/messages.h"
#include "shell/appcontext.h"
#include "speech/espeakengine.h"
#include "support/chapter_text.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <ctime>

using namespace inkwren;

namespace {

struct QuietMessages : Messages {
  void tsxx(const QString &) override {}
  bool qrxx(const QString &) override { return false; }
};

// An output that takes everything and plays in real time from its opening on.
struct ClockedOutput : AudioOutput {
  qint64 written = 0;
  int rate = 0;
  QElapsedTimer clock;
  QString open(int sampleRate) override {
    rate = sampleRate;
    written = 0;
    clock.start();
    return {};
  }
  qint64 write(const char *, qint64 size) override {
    written += size / 2;
    return size;
  }
  qint64 playedSamples() const override {
    return std::min(written, clock.isValid() ? clock.elapsed() * rate / 1000 : 0);
  }
  void suspend() override {}
  void resume() override {}
  void close() override { clock.invalidate(); }
  QString failure() const override { return {}; }
};

struct Library {
  QTemporaryDir dir;
  QuietMessages messages;
  std::unique_ptr<AppContext> app;
  ClockedOutput *output = nullptr;
  QString bookId, chapterId;

  Library() {
    for (const char *sub : {"config", "db", "book"})
      QDir(dir.path()).mkpath(QLatin1String(sub));
    app = std::make_unique<AppContext>(dir.path(), messages);
    const QString path = app->folder.path(QStringLiteral("db/book.dat"));
    Database::createLibrary(path, nullptr);
    app->openLibrary();
    app->db.exec(QStringLiteral("insert into book_type (typename,paix) values ('小说',1)"));
    app->db.exec(QStringLiteral("insert into book_list (typeid,bookname,authorname,muluurl,"
                                "downtype,paix) values (1,'书','a','u',0,1)"));
    bookId = QString::number(app->db.lastInsertId());
    app->db.exec(QStringLiteral("insert into book_zhangjie (bookid,zhangjiename,fenjuanname,"
                                "zhangjieurl,paix,readstate,shifuxianshi) values "
                                "(?,'第一章','','http://s/1',1,0,1)"),
                 {bookId.toLongLong()});
    chapterId = QString::number(app->db.lastInsertId());
    app->files.writeChapter(bookId, chapterId, bench::chapterText());
    app->settings.setValue(Settings::voiceread, QStringLiteral("0"));
    app->settings.setValue(Settings::autonext, QStringLiteral("0"));
    output = new ClockedOutput;
    app->useSpeechEngine(std::make_unique<EspeakEngine>(std::unique_ptr<AudioOutput>(output)));
  }
  void wait(const std::function<bool()> &done, int ms) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
      QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
  }
};

void BM_ReadAloudToFirstAudio(benchmark::State &state) {
  Library lib;
  SpeechController &voice = lib.app->speech();
  for (auto _ : state) {
    voice.voicebook(lib.bookId, lib.chapterId, QStringLiteral("书"), QStringLiteral("第一章"));
    lib.wait([&] { return lib.output->written > 0; }, 30000);
    state.PauseTiming();
    if (lib.output->written == 0)
      state.SkipWithError("no audio");
    voice.voicestop();
    lib.wait([&] { return !voice.busy(); }, 5000);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ReadAloudToFirstAudio)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// Processor time of the process (all threads) while the chapter plays, as a share of one core:
// over the first two seconds, while the worker synthesises the whole chapter ahead of the
// audio, and over the three seconds after that, while it only plays (the main thread feeds the
// output and delivers the words on the played clock).
void BM_ReadAloudCoreShare(benchmark::State &state) {
  Library lib;
  SpeechController &voice = lib.app->speech();
  double first = 0, later = 0;
  auto sleepFor = [](int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
  };
  auto share = [](std::clock_t cpu, const QElapsedTimer &wall) {
    return double(std::clock() - cpu) / CLOCKS_PER_SEC / (double(wall.elapsed()) / 1000.0);
  };
  for (auto _ : state) {
    std::clock_t cpu = std::clock();
    QElapsedTimer wall;
    wall.start();
    voice.voicebook(lib.bookId, lib.chapterId, QStringLiteral("书"), QStringLiteral("第一章"));
    sleepFor(2000);
    first += share(cpu, wall);
    cpu = std::clock();
    wall.restart();
    sleepFor(3000);
    later += share(cpu, wall);
    voice.voicestop();
    lib.wait([&] { return !voice.busy(); }, 5000);
  }
  state.counters["share_0_2s"] = first / double(state.iterations());
  state.counters["share_2_5s"] = later / double(state.iterations());
}
BENCHMARK(BM_ReadAloudCoreShare)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace
