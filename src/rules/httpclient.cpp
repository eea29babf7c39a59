#include "rules/httpclient.h"

#include "rules/connectionpool.h"
#include "rules/eventpump.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <mutex>

namespace inkwren {
namespace {

using Clock = std::chrono::steady_clock;

void globalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// What a transfer in progress shares with libcurl's callbacks.
struct Transfer {
  QByteArray body;
  qsizetype maxBody = 0;
  bool tooLarge = false;
  bool outOfMemory = false;
  int retryAfter = -1;
  Clock::time_point lastByte;
  // Bytes of the answer (head and body) so far; 0 until it begins.
  qint64 received = 0;

  void arrived(size_t n) {
    lastByte = Clock::now();
    received += qint64(n);
  }
};

// The floor rate of an answer under way, checked at the end of each window that starts with
// its first byte.
class RateFloor {
public:
  RateFloor(int bytesPerSecond, int windowMs)
      : bytesPerSecond_(bytesPerSecond), windowMs_(windowMs) {}

  // False when the window just ended brought fewer bytes than the floor.
  bool keeps(const Transfer &t, Clock::time_point now) {
    if (bytesPerSecond_ <= 0 || windowMs_ <= 0 || t.received == 0)
      return true;
    if (!started_) {
      started_ = true;
      windowStart_ = now;
      bytesAtStart_ = 0;
    }
    if (now - windowStart_ < std::chrono::milliseconds(windowMs_))
      return true;
    const qint64 wanted = qint64(bytesPerSecond_) * windowMs_ / 1000;
    if (t.received - bytesAtStart_ < wanted)
      return false;
    windowStart_ = now;
    bytesAtStart_ = t.received;
    return true;
  }

private:
  int bytesPerSecond_, windowMs_;
  bool started_ = false;
  Clock::time_point windowStart_;
  qint64 bytesAtStart_ = 0;
};

size_t onBody(char *data, size_t size, size_t count, void *user) {
  auto *t = static_cast<Transfer *>(user);
  const size_t n = size * count;
  t->arrived(n);
  if (t->body.size() + qsizetype(n) > t->maxBody) {
    t->tooLarge = true;
    return 0; // ends the transfer with a write error
  }
  try {
    t->body.append(data, qsizetype(n));
  } catch (...) {
    t->outOfMemory = true;
    return 0;
  }
  return n;
}

size_t onHeader(char *data, size_t size, size_t count, void *user) {
  auto *t = static_cast<Transfer *>(user);
  t->arrived(size * count);
  const QByteArrayView line(data, qsizetype(size * count));
  static constexpr QByteArrayView kRetryAfter("retry-after:");
  if (line.size() > kRetryAfter.size() &&
      line.first(kRetryAfter.size()).compare(kRetryAfter, Qt::CaseInsensitive) == 0) {
    bool ok = false;
    const int seconds = line.sliced(kRetryAfter.size()).trimmed().toInt(&ok);
    t->retryAfter = ok && seconds >= 0 ? seconds : -1;
  }
  return size * count;
}

} // namespace

HttpClient::HttpClient(HttpOptions options) : options_(std::move(options)) {
  globalInit();
  easy_ = curl_easy_init();
  multi_ = curl_multi_init();
}

HttpClient::~HttpClient() {
  if (easy_)
    curl_easy_cleanup(static_cast<CURL *>(easy_));
  if (multi_)
    curl_multi_cleanup(static_cast<CURLM *>(multi_));
}

QByteArray HttpClient::formBody(const QByteArrayList &lines) {
  static const char kHex[] = "0123456789ABCDEF";
  QByteArray out;
  for (const QByteArray &line : lines) {
    qsizetype eq = line.indexOf('=');
    if (eq < 0) {
      out += line;
    } else {
      out += line.left(eq + 1);
      for (qsizetype i = eq + 1; i < line.size(); ++i) {
        auto b = static_cast<unsigned char>(line[i]);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9')) {
          out += char(b);
        } else if (b == ' ') {
          out += '+';
        } else {
          out += '%';
          out += kHex[b >> 4];
          out += kHex[b & 15];
        }
      }
    }
    out += '&';
  }
  // With a single line the separator that followed it is dropped; with more lines the last
  // one's stays.
  if (lines.size() == 1)
    out.chop(1);
  return out;
}

QByteArray HttpClient::escapeUrl(QByteArrayView url) {
  static const char kHex[] = "0123456789ABCDEF";
  QByteArray out;
  out.reserve(url.size());
  for (char ch : url) {
    auto b = static_cast<unsigned char>(ch);
    if (b <= 0x20 || b >= 0x7F) {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

HttpResult HttpClient::get(const QByteArray &url) {
  return perform(url, nullptr);
}

HttpResult HttpClient::post(const QByteArray &url, const QByteArrayList &formLines) {
  const QByteArray body = formBody(formLines);
  return perform(url, &body);
}

HttpResult HttpClient::perform(const QByteArray &url, const QByteArray *postBody) {
  HttpResult result;
  auto *easy = static_cast<CURL *>(easy_);
  auto *multi = static_cast<CURLM *>(multi_);
  if (!easy || !multi) {
    result.error = QStringLiteral("the HTTP library could not be initialised");
    return result;
  }
  try {
    const int readTimeout = std::max(1, options_.readTimeoutMs);
    const auto overall =
        options_.totalTimeoutMs > 0
            ? std::chrono::milliseconds(options_.totalTimeoutMs)
            : std::max<std::chrono::milliseconds>(
                  std::chrono::milliseconds(qint64(readTimeout) * 4), std::chrono::minutes(2));
    const QByteArray address = escapeUrl(url);

    Transfer t;
    t.maxBody = options_.maxBody;
    char errorBuffer[CURL_ERROR_SIZE] = {};

    curl_easy_setopt(easy, CURLOPT_URL, address.constData());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, long(options_.maxRedirects));
    curl_easy_setopt(easy, CURLOPT_USERAGENT, nullptr);
    curl_easy_setopt(easy, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_COOKIEFILE, ""); // cookies kept in memory, for this client
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, long(readTimeout));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, long(overall.count()));
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(easy, CURLOPT_SHARE, options_.pool ? options_.pool->handle() : nullptr);

    const ProxyOptions &p = options_.proxy;
    if (p.enabled) {
      curl_easy_setopt(easy, CURLOPT_PROXY, p.host.constData());
      curl_easy_setopt(easy, CURLOPT_PROXYPORT, long(p.port));
      curl_easy_setopt(easy, CURLOPT_PROXYTYPE, long(CURLPROXY_HTTP));
      curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, p.user.constData());
      curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, p.password.constData());
      // Basic only: the credentials go with every request. Any method: libcurl first asks
      // without credentials and answers a proxy's challenge.
      curl_easy_setopt(easy, CURLOPT_PROXYAUTH,
                       p.basicUpFront ? long(CURLAUTH_BASIC) : long(CURLAUTH_ANY));
    } else {
      curl_easy_setopt(easy, CURLOPT_PROXY, ""); // direct, whatever the environment says
    }

    if (postBody) {
      curl_easy_setopt(easy, CURLOPT_POST, 1L);
      curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(postBody->size()));
      curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, postBody->constData());
    } else {
      curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }

    const bool pumping = EventPump::onMainThread();
    const auto start = Clock::now();
    t.lastByte = start;
    bool stalled = false;
    bool tooSlow = false;
    RateFloor rate(options_.minBytesPerSecond, options_.rateWindowMs);
    CURLcode code = CURLE_OK;
    curl_multi_add_handle(multi, easy);
    for (;;) {
      int running = 0;
      if (curl_multi_perform(multi, &running) != CURLM_OK) {
        code = CURLE_FAILED_INIT;
        break;
      }
      if (running == 0) {
        int left = 0;
        code = CURLE_GOT_NOTHING;
        while (CURLMsg *msg = curl_multi_info_read(multi, &left))
          if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy)
            code = msg->data.result;
        break;
      }
      if (options_.cancel && options_.cancel->load()) {
        code = CURLE_ABORTED_BY_CALLBACK;
        break;
      }
      const auto now = Clock::now();
      if (now - t.lastByte > std::chrono::milliseconds(readTimeout)) {
        stalled = true;
        code = CURLE_OPERATION_TIMEDOUT;
        break;
      }
      if (!rate.keeps(t, now)) {
        tooSlow = true;
        code = CURLE_OPERATION_TIMEDOUT;
        break;
      }
      curl_multi_poll(multi, nullptr, 0, pumping ? 50 : 100, nullptr);
      if (pumping)
        EventPump::pump();
    }
    curl_multi_remove_handle(multi, easy);
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &result.status);
    result.retryAfterSeconds = t.retryAfter;
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, nullptr);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, nullptr);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, nullptr);

    if (code == CURLE_OK && !t.tooLarge && !t.outOfMemory) {
      result.ok = true;
      result.body = std::move(t.body);
    } else if (stalled) {
      result.error = QStringLiteral("no data for %1 ms").arg(readTimeout);
    } else if (tooSlow) {
      result.error = QStringLiteral("slower than %1 bytes/s").arg(options_.minBytesPerSecond);
    } else if (t.tooLarge) {
      result.error = QStringLiteral("the response is larger than %1 bytes").arg(options_.maxBody);
    } else {
      result.error = QString::fromUtf8(errorBuffer[0] ? errorBuffer : curl_easy_strerror(code));
    }
  } catch (...) {
    result = HttpResult();
    result.error = QStringLiteral("out of memory");
  }
  return result;
}

} // namespace inkwren
