#include "service/textadverts.h"

namespace inkwren {

int TextAdverts::txtadv() {
  if (list_.isEmpty())
    list_ = client_.txtadvlist();
  if (list_.isEmpty())
    return kRetryMs;
  const Advert front = list_.takeFirst();
  list_.append(front);
  text_ = front.text;
  address_ = front.address;
  return kRotateMs;
}

} // namespace inkwren
