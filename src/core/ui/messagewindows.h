#pragma once
// The message window Ttsform and the confirmation window Tqrform, and the Messages service
// built on them. Main thread only. Both are modal and centred on the main window; closing the
// confirmation window by any other means than "确认" answers false.
#include "core/messages.h"
#include "core/ui/artwork.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QPushButton;

namespace inkwren {

// The picture a message is shown with: an error for a failure ("保存失败!", "账号或密码错误!"),
// a warning for what the user must do first or may not do ("当前没有选中小说!", "分类名称重复!"),
// information for everything else ("保存成功!").
artwork::MessageIcon messagePicture(const QString &text);

class Ttsform : public QDialog {
  Q_OBJECT
public:
  explicit Ttsform(QWidget *parent = nullptr);
  // Lays the window out for the message (width from its length in GBK bytes) and picks its
  // picture.
  void prepare(const QString &text);
  artwork::MessageIcon picture() const { return picture_; }
  QLabel *tsxx;
  QPushButton *RzBitBtn1;

private:
  QLabel *pic_;
  artwork::MessageIcon picture_ = artwork::MessageIcon::Information;
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
