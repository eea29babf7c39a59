#include "service/updatecheck.h"

#include "core/messages.h"

namespace inkwren {

UpdateCheck::UpdateCheck(ServiceClient &client, Messages &messages)
    : client_(client), messages_(messages) {}

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

} // namespace inkwren
