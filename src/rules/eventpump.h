#pragma once
// Keeping the main thread's windows alive while it waits: pending events are processed between
// short sleeps (a wait) or between polls of the network (a fetch, see HttpClient).
//
// Threads: any. On a thread other than the main thread of a running QCoreApplication, pump()
// does nothing and Delayx only sleeps.
#include <functional>

namespace inkwren {

class EventPump {
public:
  // True on the thread of the running QCoreApplication.
  static bool onMainThread();
  // Processes pending events when on the main thread.
  static void pump();

  // Waits at least ms milliseconds in steps of 100 ms, each step a sleep of 100 ms followed by
  // the processing of pending events; 0 or less returns at once. step replaces the default
  // step (tests count steps with it). Returns the number of steps taken.
  static int Delayx(int ms, const std::function<void()> &step = {});
};

} // namespace inkwren
