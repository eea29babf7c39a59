#include "shelf/ui/findreplacedialog.h"

#include "core/messages.h"
#include "core/ui/dialogparts.h"
#include "shelf/findreplace.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

namespace inkwren {

FindReplaceDialog::FindReplaceDialog(Messages &messages, QPlainTextEdit &edit, QWidget *parent)
    : QDialog(parent), messages_(messages), edit_(edit) {
  setWindowTitle(QStringLiteral("搜索替换"));
  auto *layout = new QVBoxLayout(this);
  auto *form = new QFormLayout;
  findText = new QLineEdit(this);
  replaceText = new QLineEdit(this);
  form->addRow(QStringLiteral("查找内容："), findText);
  form->addRow(QStringLiteral("替换为："), replaceText);
  layout->addLayout(form);
  auto *buttons = new QHBoxLayout;
  findButton = new QPushButton(QStringLiteral("查找下一个"), this);
  replaceButton = new QPushButton(QStringLiteral("替换"), this);
  replaceAllButton = new QPushButton(QStringLiteral("全部替换"), this);
  auto *close = new QPushButton(QStringLiteral("取消"), this);
  markPrimary(findButton);
  for (QPushButton *b : {findButton, replaceButton, replaceAllButton, close}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  layout->addLayout(buttons);
  connect(findButton, &QPushButton::clicked, this, &FindReplaceDialog::findNext);
  connect(replaceButton, &QPushButton::clicked, this, &FindReplaceDialog::replace);
  connect(replaceAllButton, &QPushButton::clicked, this, &FindReplaceDialog::replaceAll);
  connect(close, &QPushButton::clicked, this, &QDialog::close);
}

void FindReplaceDialog::notFound() {
  messages_.tsxx(QStringLiteral("找不到 '") + findText->text() + u'\'');
}

void FindReplaceDialog::findNext() {
  const QString text = edit_.toPlainText();
  const QString find = findText->text();
  const qsizetype at = findreplace::findNext(text, edit_.textCursor().selectionEnd(), find);
  if (at < 0) {
    notFound();
    return;
  }
  QTextCursor c = edit_.textCursor();
  c.setPosition(int(at));
  c.setPosition(int(at + find.size()), QTextCursor::KeepAnchor);
  edit_.setTextCursor(c);
  edit_.setFocus();
}

void FindReplaceDialog::replace() {
  const QString find = findText->text();
  const qsizetype at = findreplace::findNext(edit_.toPlainText(), 0, find);
  if (at < 0) {
    notFound();
    return;
  }
  emit aboutToReplace();
  QTextCursor c = edit_.textCursor();
  c.setPosition(int(at));
  c.setPosition(int(at + find.size()), QTextCursor::KeepAnchor);
  c.insertText(replaceText->text());
  edit_.setTextCursor(c);
}

void FindReplaceDialog::replaceAll() {
  const QString text = edit_.toPlainText();
  int count = 0;
  const QString result = findreplace::replaceAll(text, findText->text(), replaceText->text(), &count);
  if (count == 0)
    return;
  emit aboutToReplace();
  QTextCursor c = edit_.textCursor();
  c.select(QTextCursor::Document);
  c.insertText(result);
}

} // namespace inkwren
