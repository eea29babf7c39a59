#include "rules/fetcher.h"

#include "core/codec.h"
#include "core/settings.h"
#include "rules/webpath.h"

namespace inkwren {

std::optional<HttpOptions> Fetcher::clientOptions(int timeoutMs) const {
  HttpOptions o;
  o.readTimeoutMs = timeoutMs > 0 ? timeoutMs : 30000;
  o.cancel = cancel_;
  o.pool = pool_;
  if (settings_.value(Settings::useproxy) == QLatin1String("1")) {
    bool ok = false;
    const int port = settings_.value(Settings::proxyport).trimmed().toInt(&ok, 10);
    if (!ok || port < 0 || port > 65535)
      return std::nullopt;
    o.proxy.enabled = true;
    o.proxy.basicUpFront = settings_.value(Settings::proxytype) == QLatin1String("1");
    o.proxy.host = settings_.value(Settings::proxyserver).toUtf8();
    o.proxy.port = port;
    o.proxy.user = codec::encode(settings_.value(Settings::proxyuser));
    o.proxy.password = codec::encode(settings_.value(Settings::proxypass));
  }
  return o;
}

std::unique_ptr<HttpClient> Fetcher::creathttp(int timeoutMs) const {
  std::optional<HttpOptions> options = clientOptions(timeoutMs);
  if (!options)
    return nullptr;
  return std::make_unique<HttpClient>(std::move(*options));
}

HttpResult Fetcher::fetch(const QByteArray &address, const QByteArrayList &formLines, int timeoutMs,
                          int dirFlag) const {
  if (dirFlag == 1)
    webpath_.set(WebPath::getup(address));
  std::unique_ptr<HttpClient> client = creathttp(timeoutMs);
  if (!client) {
    HttpResult none;
    none.error = QStringLiteral("代理设置无效");
    return none;
  }
  return !formLines.isEmpty() ? client->post(address, formLines) : client->get(address);
}

QByteArray Fetcher::opurl(const QByteArray &address, const QByteArrayList &formLines, int timeoutMs,
                          int dirFlag) const {
  HttpResult r = fetch(address, formLines, timeoutMs, dirFlag);
  if (!r.ok)
    return {};
  QByteArray &text = r.body;
  text.removeIf([](char c) { return c == '\r' || c == '\n'; });
  return text;
}

} // namespace inkwren
