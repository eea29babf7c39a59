#pragma once
// The bookshelf inside the main window: builds the shelf's views and commands on the shelf's
// model, puts the views into the main window's left pane and connects the shelf menu, the
// toolbar buttons and the page switch to them. Made once by the program's entry, after the
// main window. Main thread only.
#include "core/services.h"
#include "shelf/bookshelf.h"
#include "shelf/chapterfiles.h"
#include "shelf/chapterstore.h"
#include "shelf/conversions.h"
#include "shelf/currentbook.h"
#include "shelf/ui/platform.h"

#include <functional>
#include <memory>

namespace inkwren {

class BookTree;
class ChapterList;
class LatestList;
class ShelfController;
class ShellHost;

// The shelf's model and stores, owned by the program's object graph, and the entity decoding
// the conversions use.
struct ShelfModel {
  CurrentBook &current;
  Bookshelf &shelf;
  ChapterStore &chapters;
  const ChapterFiles &files;
  Conversions::EntityDecoder entities;
};

class ShelfWiring {
public:
  // updateRunning tells whether an update runs (the commands that need the library to
  // themselves refuse then).
  ShelfWiring(Services &services, ShellHost &shell, ShelfModel model,
              std::function<bool()> updateRunning);
  ~ShelfWiring();

  CurrentBook &currentBook() { return model_.current; }
  Bookshelf &bookshelf() { return model_.shelf; }
  ChapterStore &chapters() { return model_.chapters; }
  const ChapterFiles &files() const { return model_.files; }
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
  // Lets the reader open books in place of viewbook's own steps.
  void setViewbook(std::function<void(const QString &bookId)> open) { viewbook_ = std::move(open); }

  // The library could not be opened: the tree says so and the commands that need the library
  // are turned off, instead of an empty shelf whose commands do nothing.
  void libraryUnavailable(const QString &why);

  // Shows the current chapter again in the reading page (after a conversion or an edit).
  void setShowCurrentChapter(std::function<void()> show);

private:
  Services &services_;
  ShellHost &shell_;
  ShelfModel model_;
  DesktopUrlOpener urls_;
  BookTree *tree_;
  ChapterList *list_;
  LatestList *latest_;
  std::unique_ptr<ShelfController> controller_;
  std::function<void(const QString &)> viewbook_;
};

// Connects the main window's shelf commands to the controller.
void wireShelf(ShellHost &shell, ShelfController &controller, BookTree &tree);

} // namespace inkwren
