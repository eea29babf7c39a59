#pragma once
// The program's version check (`checkup`): asks the service whether a newer version than ours
// exists and, when the user agrees, hands over to the updater through the hook the program
// installs (the command line installs none and only tells the result).
//
// Threads: main thread only.
#include "service/serviceclient.h"

#include <functional>

namespace inkwren {

class Messages;

class UpdateCheck {
public:
  UpdateCheck(ServiceClient &client, Messages &messages);

  // Starts the updater and ends the program; unset means nothing is started.
  void setUpdater(std::function<void()> start) { startUpdater_ = std::move(start); }

  // userAsked: the check was chosen by the user (menu "检测更新"), so "no newer version" is
  // told; a silent check at start-up says nothing unless a newer version exists. A service that
  // can't be reached reads as "no newer version".
  ServiceClient::CheckResult checkup(bool userAsked);

private:
  ServiceClient &client_;
  Messages &messages_;
  std::function<void()> startUpdater_;
};

} // namespace inkwren
