#pragma once
// The line of text advertisements (`txtadv`): the list is fetched from the service once and
// then rotates, one advertisement a minute, the front one shown and moved to the back. While
// the service gives none, the list is asked for again every ten minutes and the line keeps what
// it showed.
//
// Threads: main thread only.
#include "service/serviceclient.h"

namespace inkwren {

class TextAdverts {
public:
  static constexpr int kRotateMs = 60000;
  static constexpr int kRetryMs = 600000;

  explicit TextAdverts(ServiceClient &client) : client_(client) {}

  // Shows the next advertisement, fetching the list first while it is empty. Returns the time
  // until the next call.
  int txtadv();

  // The advertisement shown now (empty before the first one) and its address.
  const QString &text() const { return text_; }
  const QString &address() const { return address_; }

private:
  ServiceClient &client_;
  QList<Advert> list_;
  QString text_, address_;
};

} // namespace inkwren
