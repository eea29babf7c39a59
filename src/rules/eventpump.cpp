#include "rules/eventpump.h"

#include <QCoreApplication>
#include <QThread>

namespace inkwren {

bool EventPump::onMainThread() {
  QCoreApplication *app = QCoreApplication::instance();
  return app && app->thread() == QThread::currentThread();
}

void EventPump::pump() {
  if (onMainThread())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

int EventPump::Delayx(int ms, const std::function<void()> &step) {
  constexpr int kStepMs = 100;
  int steps = 0;
  for (int waited = 0; waited < ms; waited += kStepMs) {
    if (step) {
      step();
    } else {
      QThread::msleep(kStepMs);
      pump();
    }
    ++steps;
  }
  return steps;
}

} // namespace inkwren
