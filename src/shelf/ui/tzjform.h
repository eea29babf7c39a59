#pragma once
// The chapter editor "编辑章节": the text of the chapter selected in the chapter list, in an
// edit box with a tool bar (save, reload, cut, copy, paste, undo twice over, find and replace,
// quit). Undo is single-level: it swaps the text with the one before the last edit, so a
// second undo restores the edit. Main thread only.
#include "core/services.h"

#include <QDialog>

#include <functional>

class QAction;
class QPlainTextEdit;
class QToolBar;

namespace inkwren {

class ChapterFiles;
class ChapterList;
class ChapterStore;
class CurrentBook;
class FindReplaceDialog;

class Tzjform : public QDialog {
  Q_OBJECT
public:
  Tzjform(Services &services, const ChapterFiles &files, ChapterStore &store, ChapterList &list,
          CurrentBook &current, std::function<int()> pagestate, QWidget *parent = nullptr);

  // Takes the chapter selected in the chapter list and reads its text; false when none is.
  bool openChapter();
  void reload();
  // Writes the text; on the page "当前阅读" also stores and shows its word count; then
  // "保存成功!". A file that can't be written ends the save without the message.
  bool save();
  void undo();
  FindReplaceDialog &findReplace();

  QPlainTextEdit *Memo1 = nullptr;
  QToolBar *toolbar = nullptr;
  QAction *RzToolButton1 = nullptr, *RzToolButton2 = nullptr, *RzToolButton3 = nullptr,
          *RzToolButton4 = nullptr, *RzToolButton5 = nullptr, *RzToolButton6 = nullptr,
          *RzToolButton7 = nullptr, *RzToolButton8 = nullptr, *RzToolButton9 = nullptr;

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void setText(const QString &text); // replaces the text without making an undo step
  void endEdit() { inEdit_ = false; }
  void textChanged();

  Services &services_;
  const ChapterFiles &files_;
  ChapterStore &store_;
  ChapterList &list_;
  CurrentBook &current_;
  std::function<int()> pagestate_;
  FindReplaceDialog *findReplace_ = nullptr;
  QString bookId_, chapterId_;
  QString lastText_, undoText_;
  bool inEdit_ = false, loading_ = false, canUndo_ = false;
};

} // namespace inkwren
