#include "core/ui/startup.h"

#include "core/database.h"
#include "core/datafolder.h"
#include "core/messages.h"
#include "core/settings.h"
#include "core/ui/artwork.h"
#include "core/ui/shellhost.h"

#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

namespace inkwren {
namespace {

void run(const std::function<void()> &step) {
  if (!step)
    return;
  try {
    step();
  } catch (...) {
    // A failing step never stops start-up.
  }
}

} // namespace

Startup::Startup(Services &services, ShellHost &shell, Steps steps, QObject *parent)
    : QObject(parent), services_(services), shell_(shell), steps_(std::move(steps)) {
  txtadvtime = new QTimer(this);
  txtadvtime->setInterval(100);
  connect(txtadvtime, &QTimer::timeout, this, &Startup::txtadvtimeTimer);
}

Startup::~Startup() {
  FormDestroy();
}

void Startup::FormCreate() {
  shell_.window()->setWindowTitle(QStringLiteral("墨鹪"));
  if (QSystemTrayIcon::isSystemTrayAvailable()) {
    tray_ = new QSystemTrayIcon(artwork::programIcon(), this);
    tray_->setToolTip(QStringLiteral("墨鹪"));
    tray_->show();
  }
  Settings &s = services_.settings;
  s.setLive(false);
  s.getset(); // over the defaults the table was built with
  shell_.applySettings();
  s.setLive(true);
  shell_.showPage(ShelfPage);
  txtadvtime->start();
}

void Startup::txtadvtimeTimer() {
  if (txtadvtime->interval() == 100) {
    txtadvtime->setInterval(60000);
    QString why;
    const QString library = services_.folder.path(QStringLiteral("db/book.dat"));
    if (services_.db.connectioncreat(library, &why)) {
      run(steps_.drawbookpanel);
    } else {
      // Say where and why, and leave no empty shelf behind whose commands would do nothing.
      services_.messages.tsxx(QStringLiteral("连接数据库失败!\n%1: %2").arg(library, why));
      if (steps_.libraryFailed)
        run([&] { steps_.libraryFailed(why); });
      else
        run(steps_.drawbookpanel);
    }
    run(steps_.loadRules);
    if (services_.settings.on(Settings::autodbook))
      run(steps_.updateAll);
    run(steps_.upset);
    run(steps_.upup);
    if (services_.settings.on(Settings::autoup))
      run(steps_.checkup);
  }
  run(steps_.txtadv);
}

void Startup::FormDestroy() {
  if (txtadvtime)
    txtadvtime->stop();
  run(steps_.stopWorkers);
  steps_.stopWorkers = nullptr;
  services_.db.connectionend();
  if (tray_) {
    tray_->hide();
    delete tray_;
    tray_ = nullptr;
  }
}

} // namespace inkwren
