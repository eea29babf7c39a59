#pragma once
// Where synthesised speech is played: 16-bit mono samples written in, a clock of how many of
// them the device has played. A small interface so that the speech engine can be tested
// without a sound device.
//
// Threads: main thread only.
#include <QString>
#include <QtGlobal>

namespace inkwren {

class AudioOutput {
public:
  virtual ~AudioOutput() = default;
  // Opens the device for samples at the given rate; the played clock starts at 0. Returns
  // why it can't be opened, empty when it is open.
  virtual QString open(int sampleRate) = 0;
  // Hands over as many bytes as the device takes now; returns how many it took.
  virtual qint64 write(const char *data, qint64 size) = 0;
  // Samples played since open().
  virtual qint64 playedSamples() const = 0;
  virtual void suspend() = 0;
  virtual void resume() = 0;
  // Silences the device at once and drops what it holds.
  virtual void close() = 0;
  // Why playing broke off after open() (the device went away); empty while all is well.
  virtual QString failure() const = 0;
};

} // namespace inkwren
