#pragma once
// Password checks. Passwords are kept only as Argon2id hashes. A successful check is remembered
// for a short while (as a keyed digest of name, password and stored hash, never the password),
// so a burst of requests from one user pays for one hash; a changed password invalidates it at
// once because the stored hash is part of the digest. At most a few hashes run at the same time
// (each takes tens of megabytes). Failed checks feed the rate limiter.
// Thread-safe.
#include "failurelimiter.h"

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QSemaphore>
#include <QString>

#include <chrono>
#include <optional>

namespace inkwren::server {

class Storage;

class Credentials {
public:
  enum class Outcome { Ok, Wrong, Limited };

  Credentials(Storage &storage, FailureLimiter &limiter,
              std::chrono::seconds cacheLife = std::chrono::seconds(120));

  Outcome check(const QString &user, const QString &password, const QString &address);

  // An Argon2id hash string of the password; empty on failure (out of memory).
  static QString hash(const QString &password);

private:
  QByteArray digest(const QString &user, const QString &password, const QString &stored) const;
  bool cached(const QByteArray &key);
  void remember(const QByteArray &key);

  Storage &m_storage;
  FailureLimiter &m_limiter;
  const std::chrono::seconds m_cacheLife;
  QByteArray m_cacheKey; // random per process
  QMutex m_lock;
  QHash<QByteArray, std::chrono::steady_clock::time_point> m_cache;
  QSemaphore m_hashSlots;
};

} // namespace inkwren::server
