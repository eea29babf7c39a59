#pragma once
// Counts failed logins per user name and per client address within a sliding window and says
// when either has had too many; while it has, the login is refused without looking at the
// password. A success clears the failures of that user name (not those of the address).
// Thread-safe.
#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>

#include <chrono>

namespace inkwren::server {

class FailureLimiter {
public:
  using Clock = std::chrono::steady_clock;
  FailureLimiter(int perUser, int perAddress, std::chrono::seconds window)
      : m_perUser(perUser), m_perAddress(perAddress), m_window(window) {}

  bool blocked(const QString &user, const QString &address, Clock::time_point now = Clock::now());
  void failed(const QString &user, const QString &address, Clock::time_point now = Clock::now());
  void succeeded(const QString &user);

private:
  int countRecent(QList<Clock::time_point> &times, Clock::time_point now);
  void prune(Clock::time_point now);

  const int m_perUser, m_perAddress;
  const std::chrono::seconds m_window;
  QMutex m_lock;
  QHash<QString, QList<Clock::time_point>> m_users, m_addresses;
  Clock::time_point m_lastPrune{};
};

} // namespace inkwren::server
