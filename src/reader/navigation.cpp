#include "reader/navigation.h"

namespace inkwren {

std::optional<int> getzjlt(const std::vector<bool> &unread, std::optional<int> selected,
                           const QString &target) {
  const int n = int(unread.size());
  if (target == QLatin1String("first"))
    return n > 0 ? std::optional<int>(0) : std::nullopt;
  if (target == QLatin1String("end"))
    return n > 0 ? std::optional<int>(n - 1) : std::nullopt;
  if (target == QLatin1String("noread")) {
    for (int i = 0; i < n; ++i)
      if (unread[size_t(i)])
        return i;
    return std::nullopt;
  }
  if (selected && *selected >= 0 && *selected < n) {
    const int i = *selected;
    if (target == QLatin1String("next"))
      return i + 1 < n ? i + 1 : n - 1;
    if (target == QLatin1String("last"))
      return i >= 1 ? i - 1 : 0;
    return std::nullopt;
  }
  return n > 0 ? std::optional<int>(0) : std::nullopt;
}

} // namespace inkwren
