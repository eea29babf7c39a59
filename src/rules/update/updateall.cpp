#include "rules/update/updateall.h"

#include "shelf/bookshelf.h"

namespace inkwren {

std::optional<NextBook> nextBookToUpdate(const Bookshelf &shelf, int after) {
  int index = 0; // the root node
  for (const Bookshelf::Category &c : shelf.categories()) {
    ++index;
    for (const TPItem &book : c.books) {
      ++index;
      if (index > after && book.downtype == 0)
        return NextBook{index, book.id, c.item.id};
    }
  }
  return std::nullopt;
}

} // namespace inkwren
