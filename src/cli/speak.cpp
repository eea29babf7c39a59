// inkwren-cli speak BOOKID CHAPTERID --wav FILE [--voice N] [--rate R]: the chapter cleaned as
// for reading aloud, synthesised with the stored voice, rate and volume (--voice and --rate
// override the first two) into a WAV file (16-bit mono PCM). Prints one line per word event:
// its position and length in the cleaned text (UTF-16 characters), its byte position in the
// caption's text, and the word.
#include "cli/commands.h"
#include "cli/engine.h"

#include "core/codec.h"
#include "speech/espeaksynth.h"
#include "speech/speechengine.h"
#include "speech/speechtext.h"

#include <QtEndian>

namespace inkwren::cli {

namespace {

constexpr const char *kUsage =
    "usage: inkwren-cli speak BOOKID CHAPTERID --wav FILE [--voice N] [--rate R]\n";

QByteArray wavFile(const QByteArray &pcm, int sampleRate) {
  auto u32 = [](quint32 v) {
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
  };
  auto u16 = [](quint16 v) {
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
  };
  QByteArray out;
  out += "RIFF" + u32(quint32(36 + pcm.size())) + "WAVE";
  out += "fmt " + u32(16) + u16(1) + u16(1) + u32(quint32(sampleRate)) +
         u32(quint32(sampleRate) * 2) + u16(2) + u16(16);
  out += "data" + u32(quint32(pcm.size()));
  QByteArray samples = pcm;
  if constexpr (Q_BYTE_ORDER == Q_BIG_ENDIAN)
    for (qsizetype i = 0; i + 1 < samples.size(); i += 2)
      std::swap(samples[i], samples[i + 1]);
  return out + samples;
}

// Takes "--name VALUE" out of args; false when the option is there without a value.
bool takeOption(QStringList &args, const QString &name, QString *value) {
  const qsizetype at = args.indexOf(name);
  if (at < 0)
    return true;
  if (at + 1 >= args.size())
    return false;
  *value = args[at + 1];
  args.remove(at, 2);
  return true;
}

} // namespace

int speak(Context &ctx) {
  QStringList args = ctx.args;
  QString wav, voiceArg, rateArg;
  if (!takeOption(args, QStringLiteral("--wav"), &wav) ||
      !takeOption(args, QStringLiteral("--voice"), &voiceArg) ||
      !takeOption(args, QStringLiteral("--rate"), &rateArg) || wav.isEmpty() || args.size() != 2 ||
      !isId(args[0]) || !isId(args[1])) {
    printErr(QString::fromUtf8(kUsage));
    return 2;
  }
  Engine engine(ctx.home);
  EspeakSynth synth;
  if (!synth.ok()) {
    printErr(QStringLiteral("inkwren-cli: %1\n").arg(synth.problem()));
    return 1;
  }
  // The stored settings; a value that is not a whole number leaves the engine's default.
  int voice = engine.settings.number(Settings::voicechoise, -1);
  int rate = engine.settings.number(Settings::voicerate, 0);
  const int volume = engine.settings.number(Settings::voicevolume, 100);
  bool ok = true;
  if (!voiceArg.isEmpty()) {
    voice = voiceArg.toInt(&ok);
    if (!ok || voice < 0 || voice >= synth.voiceNames().size()) {
      printErr(QStringLiteral("inkwren-cli: 没有编号为 %1 的语音 (see inkwren-cli voices)\n")
                   .arg(voiceArg));
      return 2;
    }
  }
  if (!rateArg.isEmpty()) {
    rate = rateArg.toInt(&ok);
    if (!ok || rate < SpeechEngine::kMinRate || rate > SpeechEngine::kMaxRate) {
      printErr(QStringLiteral("inkwren-cli: 语速须是 -10 到 10 的整数: %1\n").arg(rateArg));
      return 2;
    }
  }
  if (!engine.openLibrary())
    return 1;
  if (!engine.chapters.chapter(args[0], args[1])) {
    printErr(QStringLiteral("inkwren-cli: 小说 %1 没有编号为 %2 的章节\n").arg(args[0], args[1]));
    return 1;
  }
  const QByteArray gbk = speakableText(engine.files.readChapter(args[0], args[1]));
  const QString text = codec::decode(gbk);

  QByteArray pcm;
  QString lines;
  const bool spoken =
      synth.synthesize(text, voice, rate, volume,
                       [&](const int16_t *samples, int count, const QList<SpeechWord> &words) {
                         pcm.append(reinterpret_cast<const char *>(samples), qsizetype(count) * 2);
                         for (const SpeechWord &w : words)
                           lines += QStringLiteral("%1\t%2\t%3\t%4\n")
                                        .arg(w.position)
                                        .arg(w.length)
                                        .arg(getlenxx(gbk, w.position))
                                        .arg(text.mid(w.position, w.length));
                         return true;
                       });
  if (!spoken) {
    printErr(QStringLiteral("inkwren-cli: 语音合成失败\n"));
    return 1;
  }
  if (!codec::writeFileAtomic(wav, wavFile(pcm, synth.sampleRate()))) {
    printErr(QStringLiteral("inkwren-cli: 无法写入 %1\n").arg(wav));
    return 1;
  }
  printOut(lines);
  return 0;
}

} // namespace inkwren::cli
