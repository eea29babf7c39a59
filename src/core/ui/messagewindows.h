#pragma once
// The message window Ttsform and the confirmation window Tqrform, and the Messages service
// built on them. Main thread only. Both are modal and centred on the main window; closing the
// confirmation window by any other means than "确认" answers false.
#include "core/messages.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QPushButton;

namespace inkwren {

class Ttsform : public QDialog {
  Q_OBJECT
public:
  explicit Ttsform(QWidget *parent = nullptr);
  // Lays the window out for the message (width from its length in GBK bytes).
  void prepare(const QString &text);
  QLabel *tsxx;
  QPushButton *RzBitBtn1;
};

class Tqrform : public QDialog {
  Q_OBJECT
public:
  explicit Tqrform(QWidget *parent = nullptr);
  void prepare(const QString &question);
  QLabel *qrxx;
  QPushButton *RzBitBtn1; // "确认"
  QPushButton *RzBitBtn2; // "取消"
};

// Shows messages and questions in the two windows, centred on the given main window.
class DialogMessages : public Messages {
public:
  explicit DialogMessages(QWidget *mainWindow = nullptr);
  void setMainWindow(QWidget *w) { main_ = w; }
  void tsxx(const QString &text) override;
  bool qrxx(const QString &question) override;
  // The windows (created on first use) so that the boss key can close an open one.
  Ttsform *messageWindow();
  Tqrform *confirmationWindow();

private:
  void centre(QDialog *d);
  QWidget *main_;
  QPointer<Ttsform> ts_;
  QPointer<Tqrform> qr_;
};

} // namespace inkwren
