#pragma once
// Page fetching for the whole system: the client factory `creathttp`, which applies the proxy
// settings and the read time-out, and `opurl`, the fetch of a page as rule processing sees it
// (one line of text, empty on any failure).
//
// Threads: any; a Fetcher holds only references and may be shared. Each call makes its own
// client, which belongs to the calling thread. The Settings and WebPath passed in must outlive
// the Fetcher. On the main thread a fetch keeps processing events (see HttpClient).
#include "rules/httpclient.h"

#include <QByteArray>
#include <QByteArrayList>

#include <atomic>
#include <memory>
#include <optional>

namespace inkwren {

class Settings;
class WebPath;

class Fetcher {
public:
  // cancel, when given, is handed to every client made here (see HttpOptions::cancel); so is
  // the pool whose connections they keep (see ConnectionPool).
  Fetcher(const Settings &settings, WebPath &webpath, const std::atomic<bool> *cancel = nullptr,
          ConnectionPool *pool = nullptr)
      : settings_(settings), webpath_(webpath), cancel_(cancel), pool_(pool) {}

  // The options a client gets: read time-out timeoutMs when above 0, else 30000; the proxy
  // from the settings when `useproxy` is "1" (Basic credentials up front for `proxytype` "1").
  // nullopt when the proxy settings are unusable (a port that is not a number from 0 to 65535).
  std::optional<HttpOptions> clientOptions(int timeoutMs) const;
  // A new client for one exchange, or nullptr when the settings make none (every fetch then
  // fails as a fetch failure).
  std::unique_ptr<HttpClient> creathttp(int timeoutMs) const;

  // Fetches a page: with dirFlag 1 `webpath` first becomes the address's directory; form lines
  // that are not empty are POSTed, else the address is fetched with GET; timeoutMs 0 means the
  // default. Returns the body with every CR and LF removed, empty on any failure.
  QByteArray opurl(const QByteArray &address, const QByteArrayList &formLines = {},
                   int timeoutMs = 0, int dirFlag = 0) const;
  // The same exchange with its outcome: the body as received (CR and LF kept), or why it
  // failed ("代理设置无效" when the proxy settings make no client).
  HttpResult fetch(const QByteArray &address, const QByteArrayList &formLines = {},
                   int timeoutMs = 0, int dirFlag = 0) const;

  WebPath &webpath() const { return webpath_; }

private:
  const Settings &settings_;
  WebPath &webpath_;
  const std::atomic<bool> *cancel_;
  ConnectionPool *pool_;
};

} // namespace inkwren
