#pragma once
// Update all: the novels of the shelf one after another in tree order, leaving out those marked
// "不再更新" (downtype 1). The position is an index into the shelf tree's node list (the root
// first, then each category followed by its books), so the windows' tree and a headless run
// agree on the order.
//
// Threads: main thread (it reads the shelf model).
#include <QString>

#include <optional>

namespace inkwren {

class Bookshelf;

struct NextBook {
  int index;      // the book's index in the tree's node list
  QString bookId;
  QString typeId; // its category, whose node is expanded when the update starts
};

// The first book after node index `after` that takes part in update all.
std::optional<NextBook> nextBookToUpdate(const Bookshelf &shelf, int after);

} // namespace inkwren
