#pragma once
// The connections of one job, kept open between its exchanges: the clients a job makes (on
// any of its threads) share libcurl's connection cache, name look-ups and TLS sessions, so a
// site's pages come over a few kept-alive connections instead of a new one each. Cookies are
// not shared: every client still starts without any.
//
// Threads: any; the pool guards libcurl's shared data itself. It must outlive every client
// that uses it.
#include <array>
#include <mutex>

namespace inkwren {

class ConnectionPool {
public:
  ConnectionPool();
  ~ConnectionPool();
  ConnectionPool(const ConnectionPool &) = delete;
  ConnectionPool &operator=(const ConnectionPool &) = delete;

  // The CURLSH handle for CURLOPT_SHARE, or nullptr when libcurl could not make one.
  void *handle() const { return share_; }

private:
  static void lock(void *, int data, int, void *self);
  static void unlock(void *, int data, void *self);

  void *share_ = nullptr;
  std::array<std::mutex, 16> locks_;
};

} // namespace inkwren
