#include "speech/qtaudiooutput.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace inkwren {

QtAudioOutput::QtAudioOutput() = default;
QtAudioOutput::~QtAudioOutput() {
  close();
}

QString QtAudioOutput::open(int sampleRate) {
  close();
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (device.isNull())
    return QStringLiteral("没有找到声音输出设备，无法朗读");
  QAudioFormat format;
  format.setSampleRate(sampleRate);
  format.setChannelCount(1);
  format.setSampleFormat(QAudioFormat::Int16);
  if (!device.isFormatSupported(format))
    return QStringLiteral("声音输出设备 %1 不支持朗读的声音格式，无法朗读")
        .arg(device.description());
  sink_ = std::make_unique<QAudioSink>(device, format);
  // A tenth of a second buffered in the sink (fed every 20 ms): a quick start, and the played
  // clock, which counts what the sink has passed on, stays close to what is heard.
  sink_->setBufferSize(qsizetype(sampleRate) / 5);
  device_ = sink_->start();
  if (!device_ || sink_->error() != QAudio::NoError) {
    close();
    return QStringLiteral("无法打开声音输出设备 %1，无法朗读").arg(device.description());
  }
  sampleRate_ = sampleRate;
  written_ = 0;
  return {};
}

qint64 QtAudioOutput::write(const char *data, qint64 size) {
  if (!device_ || !sink_)
    return 0;
  const qint64 room = sink_->bytesFree();
  if (room <= 0)
    return 0;
  const qint64 taken = device_->write(data, std::min(size, room & ~qint64(1)));
  if (taken <= 0)
    return 0;
  written_ += taken / 2;
  return taken;
}

qint64 QtAudioOutput::playedSamples() const {
  if (!sink_)
    return 0;
  // A sink that ran dry has played everything; its processed time may stop a little short.
  if (sink_->state() == QAudio::IdleState)
    return written_;
  return std::min(written_, sink_->processedUSecs() * sampleRate_ / 1000000);
}

void QtAudioOutput::suspend() {
  if (sink_)
    sink_->suspend();
}

void QtAudioOutput::resume() {
  if (sink_)
    sink_->resume();
}

void QtAudioOutput::close() {
  if (sink_) {
    sink_->stop();
    sink_.reset();
  }
  device_ = nullptr;
}

QString QtAudioOutput::failure() const {
  if (!sink_)
    return {};
  switch (sink_->error()) {
  case QAudio::OpenError:
  case QAudio::IOError:
  case QAudio::FatalError:
    return QStringLiteral("声音输出设备出错，朗读中断");
  default:
    return {};
  }
}

} // namespace inkwren
