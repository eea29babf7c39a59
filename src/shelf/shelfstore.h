#pragma once
// The bookshelf's statements on the library: categories (book_type) and books (book_list)
// with their order keys. Each method is one library operation; a failing statement ends it
// and the result says so. Moves and deletions that take several statements run in one
// transaction, so a failure leaves the library as it was.
//
// Threads: any (the library serialises statements); the bookshelf calls it on the main thread.
#include "core/database.h"
#include "shelf/tpitem.h"

#include <optional>
#include <vector>

namespace inkwren {

class ShelfStore {
public:
  explicit ShelfStore(Database &db) : db_(db) {}

  // Categories in "paix" order (id and name filled).
  Result<std::vector<TPItem>> categories();
  // The books of one category in "paix" order, all fields with the unread count.
  Result<std::vector<TPItem>> books(const QString &typeId);
  // All books of all categories, each with its category id (for lists).
  struct BookInCategory {
    QString typeId;
    TPItem book;
  };
  Result<std::vector<BookInCategory>> allBooks();
  std::optional<TPItem> book(const QString &bookId);

  // Shown chapters with readstate 0 (NULL counts as unread).
  Result<int> noReadCount(const QString &bookId);

  // Id of the category with this name (any other than exceptId when given).
  Result<std::optional<QString>> findCategory(const QString &name, const QString &exceptId = {});
  // Inserts a category last; gives its id.
  Result<QString> addCategory(const QString &name);
  bool renameCategory(const QString &typeId, const QString &name);
  bool deleteCategory(const QString &typeId);

  // True when a book with exactly this name, author and address exists.
  Result<bool> bookExists(const QString &name, const QString &author, const QString &url);
  // Inserts a book last in the one sequence of all books (downtype 0); gives its id.
  Result<QString> addBook(const QString &typeId, const QString &name, const QString &author,
                          const QString &url);
  bool updateBook(const QString &bookId, const QString &typeId, const QString &name,
                  const QString &author, const QString &url, int downtype);
  // Deletes the book's row and all its chapter rows.
  bool deleteBook(const QString &bookId);

  // Places category dragged just before category target by shifting the keys in between.
  bool moveCategory(const QString &draggedId, const QString &targetId);
  // Places book dragged just before book target (over all books) and into category typeId.
  bool moveBook(const QString &draggedId, const QString &targetId, const QString &typeId);
  // Makes the book the last of category typeId.
  bool moveBookToCategory(const QString &bookId, const QString &typeId);

private:
  bool moveBefore(const QString &table, const QString &idColumn, const QString &draggedId,
                  const QString &targetId, const QString &alsoSet, const QVariantList &alsoValues);
  Result<qint64> nextKey(const QString &table);
  Database &db_;
};

} // namespace inkwren
