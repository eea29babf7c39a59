#include "credentials.h"

#include "storage.h"

#include <QMutexLocker>
#include <QThread>

#include <sodium.h>

namespace inkwren::server {

namespace {
constexpr qsizetype kCacheMax = 100000;
}

Credentials::Credentials(Storage &storage, FailureLimiter &limiter, std::chrono::seconds cacheLife)
    : m_storage(storage), m_limiter(limiter), m_cacheLife(cacheLife),
      m_hashSlots(qMax(1, QThread::idealThreadCount())) {
  if (sodium_init() < 0)
    qFatal("libsodium cannot start");
  m_cacheKey.resize(crypto_generichash_KEYBYTES);
  randombytes_buf(m_cacheKey.data(), size_t(m_cacheKey.size()));
}

QString Credentials::hash(const QString &password) {
  if (sodium_init() < 0)
    return {};
  const QByteArray bytes = password.toUtf8();
  char out[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str(out, bytes.constData(), quint64(bytes.size()),
                        crypto_pwhash_OPSLIMIT_INTERACTIVE,
                        crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
    return {};
  return QString::fromLatin1(out);
}

QByteArray Credentials::digest(const QString &user, const QString &password,
                               const QString &stored) const {
  const QByteArray input = user.toUtf8() + QByteArray(1, '\0') + password.toUtf8() +
                           QByteArray(1, '\0') + stored.toLatin1();
  QByteArray out(crypto_generichash_BYTES, '\0');
  crypto_generichash(
      reinterpret_cast<unsigned char *>(out.data()), size_t(out.size()),
      reinterpret_cast<const unsigned char *>(input.constData()), quint64(input.size()),
      reinterpret_cast<const unsigned char *>(m_cacheKey.constData()), size_t(m_cacheKey.size()));
  return out;
}

bool Credentials::cached(const QByteArray &key) {
  QMutexLocker lock(&m_lock);
  auto it = m_cache.find(key);
  if (it == m_cache.end())
    return false;
  if (std::chrono::steady_clock::now() >= it.value()) {
    m_cache.erase(it);
    return false;
  }
  return true;
}

void Credentials::remember(const QByteArray &key) {
  QMutexLocker lock(&m_lock);
  const auto now = std::chrono::steady_clock::now();
  if (m_cache.size() >= kCacheMax) {
    for (auto it = m_cache.begin(); it != m_cache.end();)
      it = now >= it.value() ? m_cache.erase(it) : std::next(it);
    if (m_cache.size() >= kCacheMax)
      m_cache.clear();
  }
  m_cache.insert(key, now + m_cacheLife);
}

Credentials::Outcome Credentials::check(const QString &user, const QString &password,
                                        const QString &address) {
  if (m_limiter.blocked(user, address))
    return Outcome::Limited;
  const std::optional<QString> stored =
      user.isEmpty() ? std::nullopt : m_storage.passwordHash(user);
  if (!stored) {
    m_limiter.failed(user, address);
    return Outcome::Wrong;
  }
  const QByteArray key = digest(user, password, *stored);
  if (cached(key))
    return Outcome::Ok;
  const QByteArray hashText = stored->toLatin1();
  const QByteArray bytes = password.toUtf8();
  m_hashSlots.acquire();
  const bool ok =
      crypto_pwhash_str_verify(hashText.constData(), bytes.constData(), quint64(bytes.size())) == 0;
  m_hashSlots.release();
  if (!ok) {
    m_limiter.failed(user, address);
    return Outcome::Wrong;
  }
  m_limiter.succeeded(user);
  remember(key);
  return Outcome::Ok;
}

} // namespace inkwren::server
