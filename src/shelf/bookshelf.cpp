#include "shelf/bookshelf.h"

#include "core/messages.h"
#include "shelf/currentbook.h"

#include <QThread>

namespace inkwren {

Bookshelf::Bookshelf(Services &services, CurrentBook &current, QObject *parent)
    : QObject(parent), services_(services), current_(current), store_(services.db),
      files_(services.folder) {}

void Bookshelf::setUpdateHooks(std::function<bool()> running,
                               std::function<void(const QString &)> start,
                               std::function<void(const QString &)> stop) {
  updateRunning_ = std::move(running);
  startUpdate_ = std::move(start);
  stopUpdate_ = std::move(stop);
}

bool Bookshelf::onMainThread() const { return QThread::currentThread() == thread(); }

void Bookshelf::drawbookpanel() {
  categories_.clear();
  if (auto cats = store_.categories()) {
    for (const TPItem &t : *cats) {
      Category c{t, {}};
      if (auto books = store_.books(t.id))
        c.books = *books;
      categories_.push_back(std::move(c));
    }
  }
  emit reset();
}

Bookshelf::Category *Bookshelf::findCategory(const QString &typeId) {
  for (Category &c : categories_)
    if (c.item.id == typeId)
      return &c;
  return nullptr;
}

std::pair<Bookshelf::Category *, std::size_t> Bookshelf::findBook(const QString &bookId) {
  for (Category &c : categories_)
    for (std::size_t i = 0; i < c.books.size(); ++i)
      if (c.books[i].id == bookId)
        return {&c, i};
  return {nullptr, 0};
}

const TPItem *Bookshelf::getbn(const QString &bookId) const {
  auto [c, i] = const_cast<Bookshelf *>(this)->findBook(bookId);
  return c ? &c->books[i] : nullptr;
}

const TPItem *Bookshelf::category(const QString &typeId) const {
  const Category *c = const_cast<Bookshelf *>(this)->findCategory(typeId);
  return c ? &c->item : nullptr;
}

QString Bookshelf::categoryOf(const QString &bookId) const {
  auto [c, i] = const_cast<Bookshelf *>(this)->findBook(bookId);
  (void)i;
  return c ? c->item.id : QString();
}

const Bookshelf::Category *Bookshelf::categoryNamed(const QString &name) const {
  for (const Category &c : categories_)
    if (c.item.name == name)
      return &c;
  return nullptr;
}

void Bookshelf::redrawbookx(const QString &bookId) {
  if (!onMainThread()) {
    QMetaObject::invokeMethod(this, [this, bookId] { redrawbookx(bookId); }, Qt::QueuedConnection);
    return;
  }
  if (auto n = store_.noReadCount(bookId))
    redrawbook(bookId, *n);
}

void Bookshelf::redrawbook(const QString &bookId, int count) {
  auto [c, i] = findBook(bookId);
  if (!c)
    return;
  c->books[i].noreadcount = count;
  emit bookChanged(bookId);
}

void Bookshelf::setUpdating(const QString &bookId, bool on) {
  if (!onMainThread()) {
    QMetaObject::invokeMethod(this, [this, bookId, on] { setUpdating(bookId, on); },
                              Qt::QueuedConnection);
    return;
  }
  if (on == updating_.contains(bookId))
    return;
  if (on)
    updating_.insert(bookId);
  else
    updating_.remove(bookId);
  emit bookChanged(bookId);
}

std::optional<QString> Bookshelf::getbtn(const QString &typeName) {
  if (const Category *c = categoryNamed(typeName))
    return c->item.id;
  // The library tells names apart without regard to case: a name differing only in case is
  // that category, not a new one (creating it would fail as a duplicate).
  for (const Category &c : categories_)
    if (c.item.name.compare(typeName, Qt::CaseInsensitive) == 0)
      return c.item.id;
  return newbookt_do(typeName);
}

std::optional<QString> Bookshelf::newbookt_do(const QString &typeName) {
  auto dup = store_.findCategory(typeName);
  if (!dup)
    return std::nullopt;
  if (*dup) {
    services_.messages.tsxx(QStringLiteral("分类名称重复!"));
    return std::nullopt;
  }
  auto id = store_.addCategory(typeName);
  if (!id)
    return std::nullopt;
  categories_.push_back(Category{TPItem{*id, typeName}, {}});
  emit categoryAdded(*id);
  return *id;
}

bool Bookshelf::editbookt_do(const QString &typeId, const QString &typeName) {
  Category *c = findCategory(typeId);
  if (!c)
    return false;
  auto dup = store_.findCategory(typeName, typeId);
  if (!dup)
    return false;
  if (*dup) {
    services_.messages.tsxx(QStringLiteral("分类名称与其他分类重复!"));
    return false;
  }
  if (!store_.renameCategory(typeId, typeName))
    return false;
  c->item.name = typeName;
  emit categoryChanged(typeId);
  return true;
}

std::optional<QString> Bookshelf::newbook_do(const QString &typeName, const QString &bookName,
                                             const QString &authorName, const QString &muluUrl,
                                             bool checkDuplicate) {
  if (checkDuplicate) {
    auto exists = store_.bookExists(bookName, authorName, muluUrl);
    if (!exists || *exists)
      return std::nullopt;
  }
  auto typeId = getbtn(typeName);
  if (!typeId)
    return std::nullopt;
  auto bookId = store_.addBook(*typeId, bookName, authorName, muluUrl);
  if (!bookId)
    return std::nullopt;
  Category *c = findCategory(*typeId);
  if (!c)
    return std::nullopt;
  c->books.push_back(TPItem{*bookId, bookName, authorName, muluUrl, 0, 0});
  emit bookAdded(*bookId);
  if (startUpdate_ && !(updateRunning_ && updateRunning_()))
    startUpdate_(*bookId);
  return *bookId;
}

bool Bookshelf::editbook_do(const QString &bookId, const QString &bookName,
                            const QString &authorName, int downtype, const QString &muluUrl,
                            const QString &typeName) {
  auto typeId = getbtn(typeName);
  if (!typeId || !getbn(bookId))
    return false;
  if (store_.updateBook(bookId, *typeId, bookName, authorName, muluUrl, downtype)) {
    auto [c, i] = findBook(bookId);
    TPItem &b = c->books[i];
    b.name = bookName;
    b.authorname = authorName;
    b.muluurl = muluUrl;
    b.downtype = downtype;
    emit bookChanged(bookId);
  }
  if (categoryOf(bookId) != *typeId)
    booktreemove({ShelfNode::Book, bookId}, {ShelfNode::Category, *typeId});
  return true;
}

bool Bookshelf::delebook(const QString &bookIdArg, bool forced) {
  const QString bookId = bookIdArg; // the caller's text may live in the record removed below
  if (bookId.isEmpty() || !getbn(bookId)) {
    services_.messages.tsxx(QStringLiteral("当前没有选中小说!"));
    return false;
  }
  if (!forced && !services_.messages.qrxx(QStringLiteral("确认要删除当前小说？")))
    return false;
  if (isUpdating(bookId) && stopUpdate_)
    stopUpdate_(bookId);
  delbcheckvm(bookId);
  bool deleted = store_.deleteBook(bookId);
  auto [c, i] = findBook(bookId);
  if (c)
    c->books.erase(c->books.begin() + std::ptrdiff_t(i));
  updating_.remove(bookId);
  emit bookRemoved(bookId);
  // The files go only with the rows: a book still in the library keeps its chapter texts.
  if (deleted)
    files_.deleteBook(bookId);
  return deleted;
}

void Bookshelf::delbcheckvm(const QString &bookId) {
  if (current_.id() == bookId)
    current_.clear();
}

bool Bookshelf::delebookt(const QString &typeId) {
  Category *c = findCategory(typeId);
  if (!c)
    return false;
  while (!c->books.empty()) {
    delebook(c->books.front().id, true);
    c = findCategory(typeId);
  }
  if (!store_.deleteCategory(typeId))
    return false;
  categories_.erase(categories_.begin() + (c - categories_.data()));
  emit categoryRemoved(typeId);
  return true;
}

bool Bookshelf::canDrop(const ShelfNode &dragged, const ShelfNode &target) const {
  auto level = [](const ShelfNode &n) { return n.kind == ShelfNode::Category ? 1 : 2; };
  auto known = [this](const ShelfNode &n) {
    return (n.kind == ShelfNode::Category && category(n.id)) ||
           (n.kind == ShelfNode::Book && getbn(n.id));
  };
  if (!known(dragged) || !known(target) || dragged == target)
    return false;
  if (level(target) > level(dragged))
    return false;
  if (dragged.kind == ShelfNode::Book && target.kind == ShelfNode::Category &&
      categoryOf(dragged.id) == target.id)
    return false;
  return true;
}

bool Bookshelf::booktreemove(ShelfNode dragged, ShelfNode target) {
  if (dragged == target)
    return false;
  if (dragged.kind == ShelfNode::Category && target.kind == ShelfNode::Category) {
    if (!findCategory(dragged.id) || !findCategory(target.id) ||
        !store_.moveCategory(dragged.id, target.id))
      return false;
    auto from = categories_.begin() + (findCategory(dragged.id) - categories_.data());
    Category moved = std::move(*from);
    categories_.erase(from);
    categories_.insert(categories_.begin() + (findCategory(target.id) - categories_.data()),
                       std::move(moved));
    emit categoryMoved(dragged.id);
    return true;
  }
  if (dragged.kind != ShelfNode::Book || !getbn(dragged.id))
    return false;
  if (target.kind == ShelfNode::Book) {
    QString typeId = categoryOf(target.id);
    if (typeId.isEmpty() || !store_.moveBook(dragged.id, target.id, typeId))
      return false;
    auto [from, i] = findBook(dragged.id);
    TPItem book = from->books[i];
    from->books.erase(from->books.begin() + std::ptrdiff_t(i));
    auto [to, j] = findBook(target.id);
    to->books.insert(to->books.begin() + std::ptrdiff_t(j), book);
    emit bookMoved(dragged.id);
    return true;
  }
  if (target.kind == ShelfNode::Category) {
    Category *to = findCategory(target.id);
    if (!to || !store_.moveBookToCategory(dragged.id, target.id))
      return false;
    auto [from, i] = findBook(dragged.id);
    TPItem book = from->books[i];
    from->books.erase(from->books.begin() + std::ptrdiff_t(i));
    findCategory(target.id)->books.push_back(book);
    emit bookMoved(dragged.id);
    return true;
  }
  return false;
}

} // namespace inkwren
