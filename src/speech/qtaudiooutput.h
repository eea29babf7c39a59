#pragma once
// AudioOutput on Qt Multimedia: a QAudioSink on the default audio output device, fed in push
// mode. The played clock is the sink's processed time.
//
// Threads: main thread only.
#include "speech/audiooutput.h"

#include <memory>

class QAudioSink;
class QIODevice;

namespace inkwren {

class QtAudioOutput : public AudioOutput {
public:
  QtAudioOutput();
  ~QtAudioOutput() override;

  QString open(int sampleRate) override;
  qint64 write(const char *data, qint64 size) override;
  qint64 playedSamples() const override;
  void suspend() override;
  void resume() override;
  void close() override;
  QString failure() const override;

private:
  std::unique_ptr<QAudioSink> sink_;
  QIODevice *device_ = nullptr;
  int sampleRate_ = 0;
  qint64 written_ = 0; // samples handed to the device since open
};

} // namespace inkwren
