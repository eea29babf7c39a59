#pragma once
// The platform pieces the shelf commands use, behind small interfaces so that tests can fake
// them: the open and save dialogs (core/ui/filedialogs.h), and opening an address with the
// system's handler. Main thread only.
#include "core/ui/filedialogs.h"

#include <QString>

class QWidget;

namespace inkwren {

class UrlOpener {
public:
  virtual ~UrlOpener() = default;
  virtual void open(const QString &address) = 0;
};

// The desktop's address handler.
class DesktopUrlOpener : public UrlOpener {
public:
  void open(const QString &address) override;
};

} // namespace inkwren
