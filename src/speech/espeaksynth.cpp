#include "speech/espeaksynth.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <vector>

namespace inkwren {

namespace {

// The synthesis under way on this thread. The library's callback carries no context of its
// own, and synthesis is synchronous on the calling thread, so the callback finds its job here.
struct Job {
  const QString *text = nullptr;
  const EspeakSynth::Chunk *chunk = nullptr;
  const std::vector<int> *utf16Of = nullptr; // code point index -> UTF-16 offset
  int sampleRate = 0;
  bool aborted = false;
  int lastPosition = -1, lastLength = -1, repeats = 0; // the previous word event
};
thread_local Job *currentJob = nullptr;

int utf16At(const std::vector<int> &utf16Of, int codePoint) {
  if (codePoint < 0)
    return 0;
  if (size_t(codePoint) >= utf16Of.size())
    return utf16Of.back();
  return utf16Of[size_t(codePoint)];
}

// Chinese characters of the basic block and extension A (one UTF-16 unit each).
bool allHan(QStringView text) {
  if (text.isEmpty())
    return false;
  for (QChar c : text)
    if (!((c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) ||
          (c.unicode() >= 0x3400 && c.unicode() <= 0x4DBF)))
      return false;
  return true;
}

int onSynth(short *wav, int count, espeak_EVENT *events) {
  Job *job = currentJob;
  if (!job)
    return 1;
  QList<SpeechWord> words;
  for (espeak_EVENT *e = events; e && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
    if (e->type != espeakEVENT_WORD)
      continue;
    // The library counts characters (code points) from 1.
    const int first = e->text_position - 1;
    int start = utf16At(*job->utf16Of, first);
    int end = utf16At(*job->utf16Of, first + std::max(e->length, 0));
    // A run of Chinese characters is one word to the library, which reports it once per
    // syllable, each time with the run's position: one syllable is one character, so each
    // report is turned into the character being spoken. Repeats of any other word are dropped.
    if (end <= start)
      continue; // past the end of the text
    const bool repeat = start == job->lastPosition && end - start == job->lastLength;
    job->repeats = repeat ? job->repeats + 1 : 0;
    job->lastPosition = start;
    job->lastLength = end - start;
    if (allHan(QStringView(*job->text).mid(start, end - start))) {
      if (job->repeats >= end - start)
        continue;
      start += job->repeats;
      end = start + 1;
    } else if (repeat) {
      continue;
    }
    words.append({start, end - start, qint64(e->audio_position) * job->sampleRate / 1000});
  }
  if (!wav && words.isEmpty())
    return 0;
  if (!(*job->chunk)(reinterpret_cast<const int16_t *>(wav), wav ? count : 0, words)) {
    job->aborted = true;
    return 1;
  }
  return 0;
}

QString statusText(espeak_ng_STATUS status) {
  char buffer[512] = {};
  espeak_ng_GetStatusCodeMessage(status, buffer, sizeof buffer);
  return QString::fromLocal8Bit(buffer);
}

} // namespace

EspeakSynth::EspeakSynth(const QString &dataPath) {
  // The library quietly falls back to its built-in location when a given folder holds no
  // voice data; a folder given on purpose must hold it.
  if (!dataPath.isEmpty() && !QFileInfo::exists(dataPath + QStringLiteral("/phontab")) &&
      !QFileInfo::exists(dataPath + QStringLiteral("/espeak-ng-data/phontab"))) {
    problem_ = QStringLiteral("没有找到语音数据 (%1)，无法朗读").arg(dataPath);
    return;
  }
  const QByteArray path = QFileInfo(dataPath).absoluteFilePath().toLocal8Bit();
  espeak_ng_InitializePath(dataPath.isEmpty() ? nullptr : path.constData());
  espeak_ng_ERROR_CONTEXT context = nullptr;
  espeak_ng_STATUS status = espeak_ng_Initialize(&context);
  if (status == ENS_OK)
    status = espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 0, nullptr);
  espeak_ng_ClearErrorContext(&context);
  if (status != ENS_OK) {
    problem_ =
        QStringLiteral("没有找到语音数据 (espeak-ng-data)，无法朗读: %1").arg(statusText(status));
    return;
  }
  sampleRate_ = espeak_ng_GetSampleRate();
  espeak_SetSynthCallback(onSynth);
  for (const espeak_VOICE **v = espeak_ListVoices(nullptr); v && *v; ++v) {
    Voice voice;
    voice.name = (*v)->name;
    // languages: a priority byte, then the language name, zero-terminated.
    if ((*v)->languages && (*v)->languages[0])
      voice.language = QByteArray((*v)->languages + 1);
    voice.shown = QStringLiteral("%1 (%2)").arg(QString::fromUtf8(voice.name),
                                                QString::fromUtf8(voice.language));
    voices_.append(voice);
  }
  // The Chinese voices lead the list: voice number 0, the setting's default, is Mandarin
  // wherever it is installed, then Cantonese; the rest keep the library's order.
  auto rank = [](const Voice &v) { return v.language == "cmn" ? 0 : v.language == "yue" ? 1 : 2; };
  std::stable_sort(voices_.begin(), voices_.end(),
                   [&](const Voice &a, const Voice &b) { return rank(a) < rank(b); });
  if (voices_.isEmpty())
    problem_ = QStringLiteral("没有安装任何语音 (espeak-ng-data)，无法朗读");
}

QStringList EspeakSynth::voiceNames() const {
  QStringList names;
  for (const Voice &v : voices_)
    names.append(v.shown);
  return names;
}

int EspeakSynth::voiceOf(const QByteArray &language) const {
  for (qsizetype i = 0; i < voices_.size(); ++i)
    if (voices_[i].language == language)
      return int(i);
  return -1;
}

int EspeakSynth::defaultVoice() const {
  const int mandarin = voiceOf("cmn");
  return mandarin >= 0 ? mandarin : (voices_.isEmpty() ? -1 : 0);
}

int EspeakSynth::wordsPerMinute(int rate) {
  rate = std::clamp(rate, -10, 10);
  const double wpm = espeakRATE_NORMAL * std::pow(3.0, rate / 10.0);
  return std::clamp(int(std::lround(wpm)), espeakRATE_MINIMUM, espeakRATE_MAXIMUM);
}

int EspeakSynth::amplitude(int volume) {
  return std::clamp(volume, 0, 100);
}

bool EspeakSynth::synthesize(const QString &text, int voice, int rate, int volume,
                             const Chunk &chunk) {
  if (!ok())
    return false;
  if (voice < 0 || voice >= voices_.size())
    voice = defaultVoice();
  // Loading a voice reads its dictionary: only when another voice is loaded now.
  const espeak_VOICE *loaded = espeak_GetCurrentVoice();
  if (!loaded || !loaded->name || voices_[voice].name != loaded->name) {
    if (espeak_ng_SetVoiceByName(voices_[voice].name.constData()) != ENS_OK)
      return false;
  }
  espeak_ng_SetParameter(espeakRATE, wordsPerMinute(rate), 0);
  espeak_ng_SetParameter(espeakVOLUME, amplitude(volume), 0);

  std::vector<int> utf16Of;
  utf16Of.reserve(size_t(text.size()) + 1);
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i].isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate())
      continue;
    utf16Of.push_back(int(i));
  }
  utf16Of.push_back(int(text.size()));

  const QByteArray utf8 = text.toUtf8();
  Job job{&text, &chunk, &utf16Of, sampleRate_};
  currentJob = &job;
  const espeak_ng_STATUS status =
      espeak_ng_Synthesize(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                           espeakCHARS_UTF8, nullptr, nullptr);
  currentJob = nullptr;
  return status == ENS_OK && !job.aborted;
}

} // namespace inkwren
