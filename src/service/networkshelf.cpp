#include "service/networkshelf.h"

#include "core/messages.h"
#include "shelf/bookshelf.h"

namespace inkwren {

NetworkShelf::NetworkShelf(ServiceClient &client, Bookshelf &shelf, Messages &messages)
    : client_(client), shelf_(shelf), messages_(messages) {}

QList<StackEntry> NetworkShelf::localBooks() const {
  QList<StackEntry> books;
  for (const Bookshelf::Category &c : shelf_.categories())
    for (const TPItem &b : c.books)
      books.append({b.name, b.authorname, c.item.name, b.muluurl});
  return books;
}

bool NetworkShelf::uploaded(std::optional<ServiceClient::Outcome> outcome,
                            const QString &question) {
  if (outcome != ServiceClient::Outcome::Ok)
    return false;
  if (messages_.qrxx(question) && openWindow_)
    openWindow_();
  return true;
}

bool NetworkShelf::upbook(const QString &bookId) {
  const TPItem *book = bookId.isEmpty() ? nullptr : shelf_.getbn(bookId);
  if (!book) {
    messages_.tsxx(QStringLiteral("当前没有选中小说!"));
    return false;
  }
  const TPItem *category = shelf_.category(shelf_.categoryOf(bookId));
  const StackEntry entry{book->name, book->authorname, category ? category->name : QString(),
                         book->muluurl};
  return uploaded(client_.bookstackadd({entry}), QStringLiteral("上传成功！是否访问网络书架？"));
}

bool NetworkShelf::upbookall() {
  if (!client_.checklogin())
    return false;
  return uploaded(client_.bookstackadd(localBooks()),
                  QStringLiteral("上传成功！是否访问网络书架？"));
}

int NetworkShelf::adddown(const QList<StackEntry> &entries) {
  int added = 0;
  for (const StackEntry &e : entries)
    if (shelf_.newbook_do(e.booktype, e.bookname, e.authorname, e.downurl, true))
      ++added;
  return added;
}

bool NetworkShelf::downstack(int *added) {
  const std::optional<QList<StackEntry>> entries = client_.getstack();
  if (!entries)
    return false;
  const int n = adddown(*entries);
  if (added)
    *added = n;
  return true;
}

bool NetworkShelf::clearstack() {
  if (!client_.checklogin())
    return false;
  if (!messages_.qrxx(QStringLiteral("确实要清空？")))
    return false;
  return uploaded(client_.clearstack(), QStringLiteral("操作成功！是否访问网络书架？"));
}

} // namespace inkwren
