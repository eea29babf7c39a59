#pragma once
// The bookshelf inside the main window: builds the shelf's model, stores, views and commands,
// puts the views into the main window's left pane and connects the shelf menu, the toolbar
// buttons and the page switch to them. Made once by the program's entry, after the main
// window. Main thread only.
#include "core/services.h"
#include "shelf/bookshelf.h"
#include "shelf/chapterfiles.h"
#include "shelf/chapterstore.h"
#include "shelf/currentbook.h"
#include "shelf/ui/platform.h"

#include <functional>
#include <memory>

namespace inkwren {

class BookTree;
class ChapterList;
class LatestList;
class ShelfController;
class Tmainform;

class ShelfWiring {
public:
  ShelfWiring(Services &services, Tmainform &main);
  ~ShelfWiring();

  CurrentBook &currentBook() { return current_; }
  Bookshelf &bookshelf() { return shelf_; }
  ChapterStore &chapters() { return chapters_; }
  const ChapterFiles &files() const { return files_; }
  BookTree &tree() { return *tree_; }
  ChapterList &chapterList() { return *list_; }
  LatestList &latestList() { return *latest_; }
  ShelfController &controller() { return *controller_; }

  // The add-book dialog in its properties mode, for a book id: connects "小说属性" (menu and
  // tool bar) to it.
  void setBookPropertiesDialog(std::function<void(const QString &bookId)> open);
  // Opens a book on the page "当前阅读": it becomes the current book, its tab shows its name,
  // the chapter list is filled (first row selected), and the page is shown. "阅读小说" and a
  // double click on the tree call it. The reading page completes it with its own steps.
  void viewbook(const QString &bookId);

  // Shows the current chapter again in the reading page (after a conversion or an edit).
  void setShowCurrentChapter(std::function<void()> show);

private:
  Services &services_;
  Tmainform &main_;
  CurrentBook current_;
  Bookshelf shelf_;
  ChapterStore chapters_;
  ChapterFiles files_;
  QtFileDialogs dialogs_;
  DesktopUrlOpener urls_;
  BookTree *tree_;
  ChapterList *list_;
  LatestList *latest_;
  std::unique_ptr<ShelfController> controller_;
};

// Connects the main window's shelf commands to the controller.
void wireShelf(Tmainform &main, ShelfController &controller, BookTree &tree);

} // namespace inkwren
