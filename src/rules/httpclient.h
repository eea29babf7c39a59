#pragma once
// A short-lived HTTP client for one exchange (or a few on the same client, sharing its cookies):
// GET into memory and form POST, on libcurl. Redirects are followed (at most 15), no User-Agent
// header is sent, an error status (400 and up) is a failure, and only http:// and https://
// addresses are fetched (a redirect to any other scheme fails). Certificates are checked.
//
// Time-outs: the read time-out is "no byte for that long" (connecting and waiting for the
// answer included). Once the answer has begun it must keep a floor rate: fewer than
// minBytesPerSecond (1 KiB/s) over a whole rate window (10 s) fails the fetch, so a page that
// trickles a byte every few seconds ends after one window. Beside both, the whole transfer
// may take at most totalTimeoutMs (by default four times the read time-out, at least two
// minutes). A body larger than the cap fails the fetch instead of filling memory.
//
// Threads: a client belongs to the thread that made it. On the main thread of a running
// QCoreApplication a request keeps processing events while it waits, so windows repaint and
// stay usable; code run by those events may start while the request is still under way further
// down the same thread. On other threads a request just blocks. No exception leaves a request.
#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <atomic>

namespace inkwren {

class ConnectionPool;

struct ProxyOptions {
  bool enabled = false;
  bool basicUpFront = true; // send the user name and password with every request (Basic)
  QByteArray host;
  int port = 0;
  QByteArray user;
  QByteArray password;
};

struct HttpOptions {
  int readTimeoutMs = 30000;
  ProxyOptions proxy;
  qsizetype maxBody = qsizetype(64) * 1024 * 1024;
  int maxRedirects = 15;
  // The floor rate, counted from the first byte of the answer in consecutive windows; 0 turns
  // it off.
  int minBytesPerSecond = 1024;
  int rateWindowMs = 10000;
  // The bound of the whole transfer; 0 means max(4 × readTimeoutMs, 120000).
  int totalTimeoutMs = 0;
  // When set and it becomes true (from any thread), a request under way ends as a failure
  // within about 100 ms: how a worker asked to stop leaves a slow fetch.
  const std::atomic<bool> *cancel = nullptr;
  // When set, the client keeps its connections in the job's pool (see ConnectionPool).
  ConnectionPool *pool = nullptr;
};

struct HttpResult {
  bool ok = false;
  long status = 0;            // the last response's status, 0 when none arrived
  QByteArray body;            // the body as received (empty on failure)
  QString error;              // why it failed, for diagnostics only; never shown to the user
  int retryAfterSeconds = -1; // a "Retry-After" in seconds the response carried, else -1
};

class HttpClient {
public:
  explicit HttpClient(HttpOptions options);
  ~HttpClient();
  HttpClient(const HttpClient &) = delete;
  HttpClient &operator=(const HttpClient &) = delete;

  const HttpOptions &options() const { return options_; }

  HttpResult get(const QByteArray &url);
  // POST of form lines (name=value) as application/x-www-form-urlencoded, see formBody.
  HttpResult post(const QByteArray &url, const QByteArrayList &formLines);

  // The form body: each line's value (after its first "=") encoded byte by byte (letters and
  // digits as they are, space as "+", every other byte "%XX" upper-case), lines joined with
  // "&", and a trailing "&" when there are two or more lines. Names are not encoded.
  static QByteArray formBody(const QByteArrayList &lines);
  // An address made acceptable to the transport: control bytes, spaces and bytes from 0x7F up
  // (GBK text in a path or query) are percent-encoded; everything else stays as written.
  static QByteArray escapeUrl(QByteArrayView url);

private:
  HttpResult perform(const QByteArray &url, const QByteArray *postBody);

  HttpOptions options_;
  void *easy_ = nullptr;  // CURL *
  void *multi_ = nullptr; // CURLM *
};

} // namespace inkwren
