#pragma once
// The chapter editor's find-and-replace dialog: Find Next searches after the current
// selection, Replace replaces the first occurrence from the start of the text, Replace All
// replaces every occurrence. Matches are exact and case-sensitive. Main thread only.
#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace inkwren {

class Messages;

class FindReplaceDialog : public QDialog {
  Q_OBJECT
public:
  FindReplaceDialog(Messages &messages, QPlainTextEdit &edit, QWidget *parent = nullptr);

  void findNext();
  void replace();
  void replaceAll();

  QLineEdit *findText = nullptr, *replaceText = nullptr;
  QPushButton *findButton = nullptr, *replaceButton = nullptr, *replaceAllButton = nullptr;

signals:
  // Before a replacement changes the text (the editor starts a new undo step).
  void aboutToReplace();

private:
  void notFound();
  Messages &messages_;
  QPlainTextEdit &edit_;
};

} // namespace inkwren
