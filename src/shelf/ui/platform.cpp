#include "shelf/ui/platform.h"

#include <QDesktopServices>
#include <QUrl>

namespace inkwren {

void DesktopUrlOpener::open(const QString &address) {
  QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

} // namespace inkwren
