#include "speech/speechcontroller.h"

#include "core/codec.h"
#include "core/messages.h"
#include "core/settings.h"
#include "reader/readmarks.h"
#include "shelf/chapterfiles.h"
#include "shelf/chapterstore.h"
#include "speech/speechtext.h"

#include <QFileInfo>

namespace inkwren {

VoiceButtons VoiceButtons::of(State state, bool chapterKnown) {
  VoiceButtons b;
  b.state = state;
  switch (state) {
  case State::Idle:
    return b;
  case State::Speak:
    b.mainPicture = kMainPause;
    b.captionPicture = kCaptionPause;
    b.stopEnabled = true;
    break;
  case State::Pause:
    b.mainPicture = kMainStart;
    b.captionPicture = kCaptionResume;
    b.stopEnabled = true;
    break;
  case State::Stop:
    b.mainPicture = kMainStart;
    b.captionPicture = kCaptionStart;
    b.stopEnabled = false;
    break;
  }
  b.beginEnabled = true;
  b.stepEnabled = chapterKnown;
  return b;
}

SpeechController::SpeechController(Parts parts, std::chrono::milliseconds busyWait, QObject *parent)
    : QObject(parent), engine_(parts.engine), settings_(parts.settings), chapters_(parts.chapters),
      files_(parts.files), marks_(parts.marks), messages_(parts.messages) {
  busyTimer_.setSingleShot(true);
  busyTimer_.setInterval(busyWait);
  connect(&busyTimer_, &QTimer::timeout, this, &SpeechController::handedOver);
  connect(&engine_, &SpeechEngine::word, this, &SpeechController::readvoiceWord);
  connect(&engine_, &SpeechEngine::endStream, this, &SpeechController::readvoiceEndStream);
  connect(&engine_, &SpeechEngine::cannotSpeak, this, [this](const QString &why) {
    // Say why nothing is heard instead of showing a speaking state that never ends.
    if (buttons_.state != VoiceButtons::State::Idle)
      voicebtcg(VoiceButtons::State::Stop);
    messages_.tsxx(QStringLiteral("无法朗读：%1").arg(why));
    emit cannotSpeak(why);
  });
}

std::optional<int> SpeechController::settingNumber(int index) const {
  bool ok = false;
  const int v = settings_.value(index).trimmed().toInt(&ok);
  return ok ? std::optional<int>(v) : std::nullopt;
}

void SpeechController::voicebtcg(VoiceButtons::State state) {
  buttons_ = VoiceButtons::of(state, !voicezjid_.isEmpty());
  if (state == VoiceButtons::State::Stop)
    emit captionCleared();
  emit buttonsChanged(buttons_);
}

void SpeechController::newvoice() {
  if (buttons_.stopEnabled)
    voicestop();
  // A voice that isn't installed, or a setting that is not a whole number, leaves the engine's
  // current value.
  if (const auto voice = settingNumber(Settings::voicechoise))
    engine_.setVoice(*voice);
  if (const auto rate = settingNumber(Settings::voicerate))
    engine_.setRate(*rate);
  if (const auto volume = settingNumber(Settings::voicevolume))
    engine_.setVolume(*volume);
}

bool SpeechController::speakFile(const QString &path) {
  caption_ = codec::decode(speakableText(codec::readtxt(path)));
  emit captionTextChanged(caption_);
  const int stream = engine_.speak(caption_);
  if (stream == 0)
    return false; // the engine said why (cannotSpeak)
  stream_ = stream;
  voicebtcg(VoiceButtons::State::Speak);
  return true;
}

void SpeechController::voicebook(const QString &bookId, const QString &chapterId,
                                 const QString &bookName, const QString &chapterName) {
  if (chapterName.isEmpty() || voicebusy_)
    return;
  voicebusy_ = true;
  endedWhileBusy_ = 0;
  voicebookid_ = bookId;
  voicezjid_ = chapterId;
  voicebookname_ = bookName;
  voicezjname_ = chapterName;
  newvoice();
  nowreadxx_ = QStringLiteral("《%1》%2").arg(bookName, chapterName);
  emit nowReadingChanged(nowreadxx_);
  if (!speakFile(files_.chapterFile(bookId, chapterId))) {
    // Nothing is heard, so nothing is marked read.
    voicebusy_ = false;
    if (buttons_.state != VoiceButtons::State::Stop)
      voicebtcg(VoiceButtons::State::Stop);
    return;
  }
  busyTimer_.start();
}

void SpeechController::handedOver() {
  voicebusy_ = false;
  if (settings_.on(Settings::voiceread) && !voicezjid_.isEmpty())
    marks_.zjrschange(voicebookid_, voicezjid_, 1);
  // A request heard to its end while it was being handed over (an empty or very short
  // chapter) ends now, instead of leaving the buttons on "speaking" with nothing to hear.
  const int ended = endedWhileBusy_;
  endedWhileBusy_ = 0;
  if (ended != 0)
    readvoiceEndStream(ended);
}

void SpeechController::voicebookx(const QString &bookId, const QString &bookName,
                                  const QString &where) {
  const auto rows = chapters_.drawmulu(bookId, ChapterStore::ByKey);
  if (!rows)
    return;
  const bool unreadOnly = where == QLatin1String("noread");
  for (const ChapterRow &row : *rows) {
    if (unreadOnly && row.readstate != 0)
      continue;
    if (!row.id.isEmpty())
      voicebook(bookId, row.id, bookName, row.name);
    return;
  }
}

void SpeechController::voicebooky(const QString &where) {
  if (voicezjid_.isEmpty())
    return;
  const auto rows = chapters_.drawmulu(voicebookid_, ChapterStore::ByKey);
  if (!rows)
    return;
  const std::vector<ChapterRow> &list = *rows;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i].id != voicezjid_)
      continue;
    const size_t target = where == QLatin1String("next") ? i + 1 : i - 1; // wraps below 0
    if (target < list.size())
      voicebook(voicebookid_, list[target].id, voicebookname_, list[target].name);
    return;
  }
}

void SpeechController::step(const QString &where) {
  if (stepping_ || voicezjid_.isEmpty())
    return;
  stepping_ = true;
  voicebooky(where);
  stepping_ = false;
}

void SpeechController::voiceloc(const QString &path) {
  voicebookid_ = path;
  voicezjid_.clear();
  voicebookname_.clear();
  voicezjname_.clear();
  newvoice();
  nowreadxx_ = QFileInfo(path).fileName();
  emit nowReadingChanged(nowreadxx_);
  if (!speakFile(path) && buttons_.state != VoiceButtons::State::Stop)
    voicebtcg(VoiceButtons::State::Stop);
}

void SpeechController::voicebegin() {
  switch (buttons_.state) {
  case VoiceButtons::State::Idle:
    return;
  case VoiceButtons::State::Speak:
    engine_.pause();
    voicebtcg(VoiceButtons::State::Pause);
    return;
  case VoiceButtons::State::Pause:
    engine_.resume();
    voicebtcg(VoiceButtons::State::Speak);
    return;
  case VoiceButtons::State::Stop:
    // The remembered chapter again from its beginning. A local file (no chapter name) is not
    // restarted, and then the button keeps showing "start".
    voicebook(voicebookid_, voicezjid_, voicebookname_, voicezjname_);
    return;
  }
}

void SpeechController::voicestop() {
  if (buttons_.mainPicture == VoiceButtons::kMainStart)
    engine_.resume();
  engine_.purge();
  voicebtcg(VoiceButtons::State::Stop);
}

void SpeechController::readvoiceWord(int stream, int position, int length) {
  if (stream == stream_ && buttons_.state != VoiceButtons::State::Stop)
    emit spokenWord(position, length);
}

void SpeechController::readvoiceEndStream(int stream) {
  if (voicebusy_) {
    endedWhileBusy_ = stream;
    return;
  }
  // The end of a request that a newer one replaced says nothing about what is heard now.
  if (stream != engine_.lastStream() || stream != stream_)
    return;
  voicebtcg(VoiceButtons::State::Stop);
  if (settings_.on(Settings::autonext) && buttons_.stepEnabled && !stepping_)
    readnext();
}

} // namespace inkwren
