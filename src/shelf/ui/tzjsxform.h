#pragma once
// The chapter properties dialog "章节属性": name, volume and address of a chapter, to edit the
// selected chapter ("修改"), add a chapter last ("新增") or insert one before the selected
// chapter ("插入"). Main thread only.
#include "core/services.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;

namespace inkwren {

class ChapterList;
class ChapterStore;
class CurrentBook;
class UrlOpener;

class Tzjsxform : public QDialog {
  Q_OBJECT
public:
  Tzjsxform(Services &services, ChapterStore &store, ChapterList &list, CurrentBook &current,
            UrlOpener &urls, std::function<int()> pagestate, QWidget *parent = nullptr);

  // Prepares the dialog for a command; false when it needs a selected chapter and there is none.
  bool prepareEdit();
  void prepareNew();
  bool prepareInsert();

  // The confirm button: "章节名称不可为空!" for an empty name, else the prepared command.
  void RzBitBtn2Click();
  // Stores the edit of the selected chapter; false when the statement failed.
  bool editzjsx();
  // Adds the chapter last; with insert, moves it before the chapter selected when opened.
  bool newzj(bool insert);

  QLineEdit *zjnm = nullptr, *fjnm = nullptr, *zjml = nullptr;
  QPushButton *RzBitBtn1 = nullptr; // open the address
  QPushButton *RzBitBtn2 = nullptr; // "修改" / "新增" / "插入"
  QPushButton *RzBitBtn3 = nullptr; // "取消"

private:
  Services &services_;
  ChapterStore &store_;
  ChapterList &list_;
  CurrentBook &current_;
  UrlOpener &urls_;
  std::function<int()> pagestate_;
  QString chapterId_; // the chapter selected when the dialog was prepared
};

} // namespace inkwren
