#pragma once
// A speech engine for tests: it speaks nothing, records every request and lets the test play
// the engine's part (hear a word, finish a stream, fail). Main thread only.
#include "speech/speechengine.h"

#include <algorithm>
#include <vector>

namespace inkwren::test {

class FakeSpeechEngine : public SpeechEngine {
public:
  struct Request {
    int stream;
    QString text;
    int voice, rate, volume;
  };

  QStringList voiceNames{QStringLiteral("Mandarin"), QStringLiteral("Cantonese")};
  QString why;                   // set to make the engine unable to speak
  std::vector<Request> requests; // every accepted speak, in order
  std::vector<int> queue;        // streams not yet ended or purged
  int purges = 0;

  QStringList voices() override { return voiceNames; }
  bool setVoice(int index) override {
    if (index < 0 || index >= voiceNames.size())
      return false;
    voice_ = index;
    return true;
  }
  int voice() const override { return voice_; }
  void setRate(int rate) override { rate_ = std::clamp(rate, kMinRate, kMaxRate); }
  int rate() const override { return rate_; }
  void setVolume(int volume) override { volume_ = std::clamp(volume, kMinVolume, kMaxVolume); }
  int volume() const override { return volume_; }

  int speak(const QString &text) override {
    if (!why.isEmpty()) {
      emit cannotSpeak(why);
      return 0;
    }
    ++last_;
    requests.push_back({last_, text, voice_, rate_, volume_});
    queue.push_back(last_);
    return last_;
  }
  void purge() override {
    ++purges;
    queue.clear();
    paused_ = false;
  }
  void pause() override { paused_ = true; }
  void resume() override { paused_ = false; }
  Status status() const override {
    if (paused_)
      return Status::Paused;
    return queue.empty() ? Status::Idle : Status::Speaking;
  }
  int lastStream() const override { return last_; }
  QString problem() const override { return why; }

  // The test's side: the audio reaches a word of the oldest queued stream; that stream ends.
  void hearWord(int position, int length) {
    if (!queue.empty())
      emit word(queue.front(), position, length);
  }
  void finishStream() {
    if (queue.empty())
      return;
    int stream = queue.front();
    queue.erase(queue.begin());
    emit endStream(stream);
  }

private:
  int voice_ = -1, rate_ = 0, volume_ = 100, last_ = 0;
  bool paused_ = false;
};

} // namespace inkwren::test
