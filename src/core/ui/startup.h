#pragma once
// Start-up and shutdown of the windowed program. The first stage runs while the main window is
// built: settings loaded and applied, the tray icon added, the shelf page chosen. The second
// stage runs on the first tick of the txtadvtime timer, about 100 ms after the message loop
// starts: the library is opened, the shelf drawn, the rules loaded and the on-line tasks run.
// Steps of features that are not part of this build are left empty in Steps and skipped.
// Main thread only.
#include "core/services.h"

#include <QObject>

#include <functional>

class QSystemTrayIcon;
class QTimer;

namespace inkwren {

class ShellHost;

class Startup : public QObject {
  Q_OBJECT
public:
  struct Steps {
    std::function<void()> drawbookpanel;                   // build the shelf tree
    std::function<void(const QString &why)> libraryFailed; // the library could not be opened
    std::function<void()> loadRules;   // record 1 of the rule file into the rule text
    std::function<void()> updateAll;   // press "更新全部" (when autodbook is "1")
    std::function<void()> upset;       // newer site rules from the service
    std::function<void()> upup;        // newer updater program
    std::function<void()> checkup;     // quiet version check (when autoup is "1")
    std::function<void()> txtadv;      // text advertisement; sets the timer's next interval
    std::function<void()> stopWorkers; // at shutdown, before the library is released
  };

  Startup(Services &services, ShellHost &shell, Steps steps, QObject *parent = nullptr);
  ~Startup() override;

  // The main window's creation work.
  void FormCreate();
  // The timer's handler: the deferred stage on the first tick, the advertisement on every tick.
  void txtadvtimeTimer();
  // Shutdown: stop workers, release the library, remove the tray icon.
  void FormDestroy();

  QTimer *txtadvtime = nullptr;

private:
  Services &services_;
  ShellHost &shell_;
  Steps steps_;
  QSystemTrayIcon *tray_ = nullptr;
};

} // namespace inkwren
