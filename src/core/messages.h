#pragma once
// The message and confirmation windows through which every part of the system talks to the
// user. The windows implement it; tests fake it. Main thread only: a worker that needs to ask
// hands the question to the main thread first.
#include <QString>

namespace inkwren {

class Messages {
public:
  virtual ~Messages() = default;
  // Shows a message modally; returns when it is closed.
  virtual void tsxx(const QString &text) = 0;
  // Asks a question modally; true only when "确认" was pressed.
  virtual bool qrxx(const QString &question) = 0;
};

// Widths of the two windows for a text of n bytes in the system code page.
int messageWidth(int bytes);      // (n div 2) × 13 + 75, at least 180
int confirmationWidth(int bytes); // (n div 2) × 13 + 80, at least 260

} // namespace inkwren
