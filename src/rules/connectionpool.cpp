#include "rules/connectionpool.h"

#include <curl/curl.h>

namespace inkwren {

ConnectionPool::ConnectionPool() {
  curl_global_init(CURL_GLOBAL_DEFAULT);
  CURLSH *share = curl_share_init();
  if (!share)
    return;
  curl_share_setopt(share, CURLSHOPT_LOCKFUNC, &ConnectionPool::lock);
  curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, &ConnectionPool::unlock);
  curl_share_setopt(share, CURLSHOPT_USERDATA, this);
  curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT);
  curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
  curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
  share_ = share;
}

ConnectionPool::~ConnectionPool() {
  if (share_)
    curl_share_cleanup(static_cast<CURLSH *>(share_));
}

void ConnectionPool::lock(void *, int data, int, void *self) {
  static_cast<ConnectionPool *>(self)->locks_[std::size_t(data) % 16].lock();
}

void ConnectionPool::unlock(void *, int data, void *self) {
  static_cast<ConnectionPool *>(self)->locks_[std::size_t(data) % 16].unlock();
}

} // namespace inkwren
