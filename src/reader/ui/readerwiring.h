#pragma once
// The reader inside the main window: the reading page in the right-hand HTML view (webem),
// opening a book on the page "当前阅读", moving between chapters, read marks, the bookmark and
// filter drop-downs and the reading template editor, wired to the main window's commands.
//
// Showing a chapter: the list events (every selection change and click of the chapter list
// and the latest-updates list) ask zjview to show the selected row; zjview loads the template
// "book/bank.html?viewtype=zjview"; when it has loaded, zjviewxx fills its body with the row's
// name and text (and marks an unread chapter read). Template links to bank.html with
// viewtype "next" or "last" move to the next or previous chapter. What is read from the list
// (the selected row, the page) is read when the template has loaded.
//
// Made once by the program's entry, after the bookshelf's windows. Main thread only.
#include "core/datafolder.h"
#include "core/services.h"
#include "core/ui/htmlview.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

namespace inkwren {

class BookmarkMenus;
class ReadMarks;
class ShelfWiring;
class ShellHost;
class UrlOpener;

class ReaderWiring : public QObject {
  Q_OBJECT
public:
  // makeHtmlView makes the template editor's preview.
  ReaderWiring(Services &services, ShellHost &shell, ShelfWiring &shelf, ReadMarks &marks,
               HtmlViewFactory makeHtmlView, UrlOpener *urls = nullptr);
  ~ReaderWiring() override;

  // Shows the selected chapter of the current page's list (loads the template); nothing
  // when that list has no selected row.
  void zjview();
  // The pane's load finished with this address: viewtype "zjview" fills the page, "next" and
  // "last" move to the next or previous chapter. Only local pages carry a viewtype: a web
  // page's address never fills or moves anything.
  void webemxDocumentComplete(const QUrl &url);
  // Fills the loaded template with the selected chapter.
  void zjviewxx();
  // Opens a book on the page "当前阅读".
  void viewbook(const QString &bookId);
  void topbp4Click();
  // Moves to "first", "end", "noread", "next" or "last" in the current page's list and shows
  // that chapter.
  void zjviewt(const QString &target);

  // Commands.
  void RzToolButton9Click(); // "阅读本书"
  void N78Click();           // "访问章节地址"
  void openTemplateEditor(); // "阅读模板"

  BookmarkMenus &bookmarks() { return *bookmarks_; }
  // Where the pane's command links go (the web panels' handler); unset: nowhere.
  std::function<void(const QString &address)> urlactdo;

Q_SIGNALS:
  // A chapter has been filled into the pane (for measurements and tests).
  void chapterShown();

private:
  void requestShow();

  Services &services_;
  ShellHost &shell_;
  ShelfWiring &shelf_;
  ReadMarks &marks_;
  HtmlViewFactory makeHtmlView_;
  std::unique_ptr<UrlOpener> ownUrls_;
  UrlOpener *urls_;
  std::unique_ptr<BookmarkMenus> bookmarks_;
  bool showPending_ = false;
};

} // namespace inkwren
