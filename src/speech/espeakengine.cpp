#include "speech/espeakengine.h"

#include "speech/espeakworker.h"

#include <algorithm>

namespace inkwren {

EspeakEngine::EspeakEngine(std::unique_ptr<AudioOutput> output, const QString &dataPath,
                           QObject *parent)
    : SpeechEngine(parent), synth_(dataPath), output_(std::move(output)) {
  qRegisterMetaType<QList<inkwren::SpeechWord>>();
  worker_ = new EspeakWorker(synth_, purgedUpTo_, produced_, consumed_,
                             qint64(kAheadSeconds) * std::max(synth_.sampleRate(), 1));
  worker_->moveToThread(&thread_);
  connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
  connect(worker_, &EspeakWorker::chunk, this, &EspeakEngine::onChunk, Qt::QueuedConnection);
  connect(worker_, &EspeakWorker::done, this, &EspeakEngine::onDone, Qt::QueuedConnection);
  timer_.setInterval(kTickMs);
  connect(&timer_, &QTimer::timeout, this, &EspeakEngine::tick);
  thread_.setObjectName(QStringLiteral("speech"));
  thread_.start();
}

EspeakEngine::~EspeakEngine() {
  purgedUpTo_ = last_;
  thread_.quit();
  thread_.wait();
  closeOutput();
}

QStringList EspeakEngine::voices() {
  return synth_.voiceNames();
}

bool EspeakEngine::setVoice(int index) {
  if (index < 0 || index >= synth_.voiceNames().size())
    return false;
  voice_ = index;
  return true;
}

void EspeakEngine::setRate(int rate) {
  rate_ = std::clamp(rate, kMinRate, kMaxRate);
}

void EspeakEngine::setVolume(int volume) {
  volume_ = std::clamp(volume, kMinVolume, kMaxVolume);
}

QString EspeakEngine::problem() const {
  return synth_.problem();
}

int EspeakEngine::speak(const QString &text) {
  QString why = synth_.problem();
  if (why.isEmpty() && !outputOpen_) {
    why = output_->open(synth_.sampleRate());
    if (why.isEmpty()) {
      outputOpen_ = true;
      ++openings_;
      queued_ = 0;
      if (paused_)
        output_->suspend();
    }
  }
  if (!why.isEmpty()) {
    emit cannotSpeak(why);
    return 0;
  }
  const int stream = ++last_;
  ++open_;
  QMetaObject::invokeMethod(worker_, "synthesize", Qt::QueuedConnection, Q_ARG(int, stream),
                            Q_ARG(QString, text), Q_ARG(int, voice_), Q_ARG(int, rate_),
                            Q_ARG(int, volume_));
  timer_.start();
  return stream;
}

void EspeakEngine::purge() {
  purgedUpTo_ = last_;
  open_ = 0;
  paused_ = false;
  unwritten_.clear();
  events_.clear();
  synthStream_ = 0;
  timer_.stop();
  closeOutput();
}

void EspeakEngine::pause() {
  paused_ = true;
  if (outputOpen_)
    output_->suspend();
}

void EspeakEngine::resume() {
  paused_ = false;
  if (outputOpen_)
    output_->resume();
}

SpeechEngine::Status EspeakEngine::status() const {
  if (paused_)
    return Status::Paused;
  return open_ > 0 ? Status::Speaking : Status::Idle;
}

void EspeakEngine::streamStarts(int stream) {
  if (stream != synthStream_) {
    synthStream_ = stream;
    streamBase_ = queued_;
  }
}

void EspeakEngine::onChunk(int stream, const QByteArray &pcm, const QList<SpeechWord> &words) {
  received_ += pcm.size() / 2;
  if (stream <= purgedUpTo_.load() || !outputOpen_) {
    updateConsumed();
    return;
  }
  streamStarts(stream);
  for (const SpeechWord &w : words)
    events_.push_back({stream, streamBase_ + w.sample, w.position, w.length, false});
  unwritten_.append(pcm);
  queued_ += pcm.size() / 2;
  tick();
}

void EspeakEngine::onDone(int stream, bool complete) {
  if (stream <= purgedUpTo_.load() || !outputOpen_)
    return;
  streamStarts(stream);
  if (!complete)
    emit cannotSpeak(QStringLiteral("语音合成失败，本段文字未能朗读"));
  events_.push_back({stream, queued_, 0, 0, true});
  tick();
}

void EspeakEngine::tick() {
  if (!outputOpen_)
    return;
  if (!unwritten_.isEmpty()) {
    const qint64 taken = output_->write(unwritten_.constData(), unwritten_.size());
    unwritten_.remove(0, taken);
  }
  const QString failure = output_->failure();
  if (!failure.isEmpty()) {
    purge();
    emit cannotSpeak(failure);
    return;
  }
  const qint64 played = output_->playedSamples();
  updateConsumed();
  // A handler may stop speech or start new speech: each event is taken off the queue before
  // it is emitted, and the walk ends when the output was closed or opened anew meanwhile.
  const int opening = openings_;
  while (!events_.empty() && events_.front().sample <= played) {
    const Event e = events_.front();
    events_.pop_front();
    if (e.end) {
      open_ = std::max(open_ - 1, 0);
      if (open_ == 0 && events_.empty() && unwritten_.isEmpty()) {
        timer_.stop();
        closeOutput();
      }
      emit endStream(e.stream);
    } else {
      emit word(e.stream, e.position, e.length);
    }
    if (!outputOpen_ || openings_ != opening)
      return;
  }
}

void EspeakEngine::closeOutput() {
  if (outputOpen_)
    output_->close();
  outputOpen_ = false;
  updateConsumed();
}

void EspeakEngine::updateConsumed() {
  // What is queued for the output and not yet heard is still ahead; everything else received
  // has been heard or dropped.
  qint64 pending = 0;
  if (outputOpen_)
    pending = std::max<qint64>(queued_ - output_->playedSamples(), 0);
  consumed_ = received_ - pending;
}

} // namespace inkwren
