#include "speech/ui/mprisadaptors.h"

#include "speech/ui/mpris.h"

namespace inkwren {

MprisRootAdaptor::MprisRootAdaptor(MprisPlayer *player)
    : QDBusAbstractAdaptor(player), player_(player) {}

void MprisRootAdaptor::Raise() {
  player_->raise();
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisPlayer *player)
    : QDBusAbstractAdaptor(player), player_(player) {}

QString MprisPlayerAdaptor::playbackStatus() const {
  return player_->playbackStatus();
}
QVariantMap MprisPlayerAdaptor::metadata() const {
  return player_->metadata();
}
bool MprisPlayerAdaptor::canStep() const {
  return player_->canStep();
}
bool MprisPlayerAdaptor::canPlay() const {
  return player_->canPlay();
}
void MprisPlayerAdaptor::Next() {
  player_->next();
}
void MprisPlayerAdaptor::Previous() {
  player_->previous();
}
void MprisPlayerAdaptor::Pause() {
  player_->pause();
}
void MprisPlayerAdaptor::PlayPause() {
  player_->playPause();
}
void MprisPlayerAdaptor::Stop() {
  player_->stop();
}
void MprisPlayerAdaptor::Play() {
  player_->play();
}

} // namespace inkwren
