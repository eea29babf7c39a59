#include "failurelimiter.h"

#include <QMutexLocker>

namespace inkwren::server {

int FailureLimiter::countRecent(QList<Clock::time_point> &times, Clock::time_point now) {
  while (!times.isEmpty() && now - times.first() >= m_window)
    times.removeFirst();
  return int(times.size());
}

void FailureLimiter::prune(Clock::time_point now) {
  // Forget quiet keys now and then so that the tables can't grow without bound.
  if (now - m_lastPrune < m_window)
    return;
  m_lastPrune = now;
  for (auto *table : {&m_users, &m_addresses}) {
    for (auto it = table->begin(); it != table->end();) {
      if (countRecent(it.value(), now) == 0)
        it = table->erase(it);
      else
        ++it;
    }
  }
}

bool FailureLimiter::blocked(const QString &user, const QString &address, Clock::time_point now) {
  QMutexLocker lock(&m_lock);
  auto u = m_users.find(user);
  if (u != m_users.end() && countRecent(u.value(), now) >= m_perUser)
    return true;
  auto a = m_addresses.find(address);
  return a != m_addresses.end() && countRecent(a.value(), now) >= m_perAddress;
}

void FailureLimiter::failed(const QString &user, const QString &address, Clock::time_point now) {
  QMutexLocker lock(&m_lock);
  prune(now);
  m_users[user].append(now);
  m_addresses[address].append(now);
}

void FailureLimiter::succeeded(const QString &user) {
  QMutexLocker lock(&m_lock);
  m_users.remove(user);
}

} // namespace inkwren::server
