#pragma once
// The bookmark and filter drop-downs of the page "当前阅读" for the book open there:
//  - sqmenu: "加入书签" (N99), a separator, then one entry per bookmark, captioned with the
//    chapter's name, each with "跳至书签" and "删除书签";
//  - glmenu: "加入过滤" (N101), a separator, then one entry per filtered chapter with
//    "取消过滤".
// Bookmarks live in the book's bookmark file, filters in the library (a filtered chapter is
// hidden from the chapter list). Both menus are rebuilt when a book is opened.
// An entry carries its chapter id in its name: "bm"/"bg" + id, sub-items "vm"/"dm"/"dg" + id.
// Main thread only.
#include "core/services.h"

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QWidget;

namespace inkwren {

class Bookshelf;
class ChapterFiles;
class ChapterList;
class ChapterStore;
class CurrentBook;

class BookmarkMenus : public QObject {
  Q_OBJECT
public:
  BookmarkMenus(Services &services, ChapterStore &chapters, const ChapterFiles &files,
                Bookshelf &shelf, CurrentBook &current, ChapterList &list,
                QObject *parent = nullptr);
  ~BookmarkMenus() override;

  void drawshuqian();
  void newshuqian(const QString &chapterId, const QString &name);
  void shuqian(const QString &chapterId);    // "跳至书签"
  void delshuqian(const QString &chapterId); // "删除书签"
  void N99Click();                           // "加入书签"

  void drawguolv();
  void newguolv(const QString &chapterId, const QString &name);
  void delguolv(const QString &chapterId); // "取消过滤"
  void N101Click();                        // "加入过滤"

  QMenu *sqmenu;
  QMenu *glmenu;
  QAction *N99;
  QAction *N101;

  // The entry of a chapter in a menu ("bm"/"bg" + id), or null.
  static QMenu *entry(QMenu *menu, const QString &name);

private:
  static void clearEntries(QMenu *menu);

  Services &services_;
  ChapterStore &chapters_;
  const ChapterFiles &files_;
  Bookshelf &shelf_;
  CurrentBook &current_;
  ChapterList &list_;
};

} // namespace inkwren
