#include "core/messages.h"

#include <algorithm>

namespace inkwren {

int messageWidth(int bytes) { return std::max(180, (bytes / 2) * 13 + 75); }
int confirmationWidth(int bytes) { return std::max(260, (bytes / 2) * 13 + 80); }

} // namespace inkwren
