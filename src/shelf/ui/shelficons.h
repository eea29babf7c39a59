#pragma once
// The small pictures of the shelf tree and the chapter lists, drawn in code:
// 0 the shelf root, 1 a category, 2 a book, 3 a book being updated, 4 an unread chapter,
// 5 a read chapter. Main thread only (pixmaps).
#include <QIcon>

namespace inkwren {

enum ShelfPicture { RootPicture = 0, CategoryPicture, BookPicture, UpdatingPicture, UnreadPicture,
                    ReadPicture };

QIcon shelfPicture(int index);

} // namespace inkwren
