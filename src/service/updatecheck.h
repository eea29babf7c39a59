#pragma once
// The program's version check (`checkup`): asks the service whether a newer version than ours
// exists and, when the user agrees, hands over to the updater program and ends the program
// through the hook the window installs. The updater is started only when its signature is
// valid ("更新程序校验失败!" otherwise) and the program ends only when it was started; in both
// failures the program keeps running. The command line installs no hook and only tells the
// result.
//
// Threads: main thread only.
#include "service/serviceclient.h"

#include <functional>

namespace inkwren {

class Messages;
class Updater;

class UpdateCheck {
public:
  UpdateCheck(ServiceClient &client, Updater &updater, Messages &messages);

  // Starts the updater (and ends the program when it did); unset means nothing is started.
  // The program's hook is normally handover() followed by the shutdown.
  void setUpdater(std::function<void()> start) { startUpdater_ = std::move(start); }

  // userAsked: the check was chosen by the user (menu "检测更新"), so "no newer version" is
  // told; a silent check at start-up says nothing unless a newer version exists. A service that
  // can't be reached reads as "no newer version".
  ServiceClient::CheckResult checkup(bool userAsked);

  // Starts a verified updater; tells why not otherwise. True when it was started.
  bool handover();

private:
  ServiceClient &client_;
  Updater &updater_;
  Messages &messages_;
  std::function<void()> startUpdater_;
};

} // namespace inkwren
