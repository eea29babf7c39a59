#pragma once
// The bookshelf: categories and their books as drawn in the shelf tree, kept in step with the
// library. Every change to a category or a book goes through here; the tree widget mirrors
// this model through the signals. Headless users (the command line) use it without a tree.
//
// Threads: main thread, except redrawbookx and setUpdating, which any thread may call (a call
// from another thread is carried out on the main thread).
#include "core/services.h"
#include "shelf/chapterfiles.h"
#include "shelf/shelfstore.h"
#include "shelf/tpitem.h"

#include <QObject>
#include <QSet>

#include <functional>
#include <optional>
#include <vector>

namespace inkwren {

class CurrentBook;

// A node of the shelf tree: the root "我的书架", a category or a book.
struct ShelfNode {
  enum Kind { None, Root, Category, Book };
  Kind kind = None;
  QString id; // typeid or bookid
  bool operator==(const ShelfNode &) const = default;
};

class Bookshelf : public QObject {
  Q_OBJECT
public:
  struct Category {
    TPItem item;
    std::vector<TPItem> books;
  };

  Bookshelf(Services &services, CurrentBook &current, QObject *parent = nullptr);

  // The update worker's hooks: whether an update runs, start a full update of a new book,
  // stop the update of a book that is being deleted. Unset hooks mean "no update worker".
  void setUpdateHooks(std::function<bool()> running, std::function<void(const QString &)> start,
                      std::function<void(const QString &)> stop);

  // Builds the model from the library (categories in order, each with its books and unread
  // counts). A library that can't be read leaves the shelf empty.
  void drawbookpanel();

  const std::vector<Category> &categories() const { return categories_; }
  const TPItem *getbn(const QString &bookId) const;      // the book's record, or null
  const TPItem *category(const QString &typeId) const;   // the category's record, or null
  QString categoryOf(const QString &bookId) const;       // typeid of the book's category
  const Category *categoryNamed(const QString &name) const;
  bool isUpdating(const QString &bookId) const { return updating_.contains(bookId); }

  // Recounts the book's unread chapters and relabels it.
  void redrawbookx(const QString &bookId);
  // Relabels the book for a given count; unknown books are ignored.
  void redrawbook(const QString &bookId, int count);
  // Marks the book as being updated (its node shows the "updating" picture) or not.
  void setUpdating(const QString &bookId, bool on);

  // The category with this name (an exact match first, else one differing only in case),
  // created last when missing; nullopt when that fails.
  std::optional<QString> getbtn(const QString &typeName);
  // Adds a category; "分类名称重复!" and nullopt when the name is taken.
  std::optional<QString> newbookt_do(const QString &typeName);
  // Renames a category; "分类名称与其他分类重复!" and false when another has the name.
  bool editbookt_do(const QString &typeId, const QString &typeName);

  // Adds a book last in the named category (created when missing) and starts its first update
  // when no update runs. With checkDuplicate, a book equal in name, author and address to an
  // existing one is not added (nullopt, no message). Gives the new book id.
  std::optional<QString> newbook_do(const QString &typeName, const QString &bookName,
                                    const QString &authorName, const QString &muluUrl,
                                    bool checkDuplicate = false);
  // Stores a book's properties; moves it to the named category (created when missing) when it
  // is not there yet. False when nothing could be stored.
  bool editbook_do(const QString &bookId, const QString &bookName, const QString &authorName,
                   int downtype, const QString &muluUrl, const QString &typeName);

  // Deletes a book with its chapter rows and folder, after "确认要删除当前小说？" unless forced;
  // "当前没有选中小说!" when bookId is no book. A book open for reading is closed first.
  bool delebook(const QString &bookId, bool forced);
  // Closes the book open for reading when it is this one (it is being deleted).
  void delbcheckvm(const QString &bookId);
  // Deletes a category with all its books (no question: the caller asks).
  bool delebookt(const QString &typeId);

  // Whether dragged may be dropped on target: a category or book no deeper than the dragged
  // node, not its parent and not itself.
  bool canDrop(const ShelfNode &dragged, const ShelfNode &target) const;
  // Moves a category before a category, a book before a book (into the target's category), or
  // a book to the end of another category. False when nothing moved.
  bool booktreemove(ShelfNode dragged, ShelfNode target);

signals:
  void reset();                                 // the whole model was (re)built
  void categoryAdded(const QString &typeId);    // appended last
  void categoryChanged(const QString &typeId);  // renamed
  void categoryRemoved(const QString &typeId);
  void categoryMoved(const QString &typeId);    // now at its model position
  void bookAdded(const QString &bookId);        // appended last in its category, to be selected
  void bookChanged(const QString &bookId);      // label, bold or picture changed
  void bookRemoved(const QString &bookId);
  void bookMoved(const QString &bookId);        // now at its model position (maybe another category)

private:
  Category *findCategory(const QString &typeId);
  std::pair<Category *, std::size_t> findBook(const QString &bookId);
  bool onMainThread() const;

  Services &services_;
  CurrentBook &current_;
  ShelfStore store_;
  ChapterFiles files_;
  std::vector<Category> categories_;
  QSet<QString> updating_;
  std::function<bool()> updateRunning_;
  std::function<void(const QString &)> startUpdate_, stopUpdate_;
};

} // namespace inkwren
