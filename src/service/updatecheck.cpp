#include "service/updatecheck.h"

#include "core/messages.h"
#include "service/updater.h"

namespace inkwren {

UpdateCheck::UpdateCheck(ServiceClient &client, Updater &updater, Messages &messages)
    : client_(client), updater_(updater), messages_(messages) {}

ServiceClient::CheckResult UpdateCheck::checkup(bool userAsked) {
  const ServiceClient::CheckResult result = client_.checkversion();
  if (result != ServiceClient::CheckResult::Newer) {
    if (userAsked)
      messages_.tsxx(QStringLiteral("当前版本为最新版本，无需更新！"));
    return result;
  }
  if (messages_.qrxx(QStringLiteral("发现新版本，是否更新？")) && startUpdater_)
    startUpdater_();
  return result;
}

bool UpdateCheck::handover() {
  switch (updater_.start()) {
  case Updater::Start::Started:
    return true;
  case Updater::Start::Unverified:
    messages_.tsxx(QStringLiteral("更新程序校验失败!"));
    return false;
  case Updater::Start::Failed:
    messages_.tsxx(QStringLiteral("启动更新程序失败!"));
    return false;
  }
  return false;
}

} // namespace inkwren
