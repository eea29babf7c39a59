#pragma once
// The record attached to every category and book node of the bookshelf tree.
#include <QString>

namespace inkwren {

struct TPItem {
  QString id;          // typeid of a category, bookid of a book (decimal text)
  QString name;        // typename or bookname, without the unread-count suffix
  QString authorname;  // books only
  QString muluurl;     // table-of-contents address, books only
  int downtype = 0;    // 0, or 1 for "不再更新" (books only)
  int noreadcount = 0; // unread count last drawn (books only)
};

// The label of a book node: the bare name, or name + "(" + count + ")" while unread chapters
// exist (the node is then shown in bold).
inline QString bookLabel(const TPItem &book) {
  return book.noreadcount > 0 ? QStringLiteral("%1(%2)").arg(book.name).arg(book.noreadcount)
                              : book.name;
}

} // namespace inkwren
