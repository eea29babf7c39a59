#include "shelf/shelfstore.h"

namespace inkwren {
namespace {

qint64 num(const QString &id) { return id.toLongLong(); }

TPItem bookFrom(const Row &r) {
  TPItem b;
  b.id = r.text(QStringLiteral("bookid"));
  b.name = r.text(QStringLiteral("bookname"));
  b.authorname = r.text(QStringLiteral("authorname"));
  b.muluurl = r.text(QStringLiteral("muluurl"));
  b.downtype = int(r.integer(QStringLiteral("downtype")));
  b.noreadcount = int(r.integer(QStringLiteral("noreadcount")));
  return b;
}

const char *const kBookColumns =
    "a.bookid,a.typeid,a.bookname,a.authorname,a.muluurl,a.downtype,a.paix,"
    "(select count(*) from book_zhangjie b where b.bookid=a.bookid and "
    "iif(b.readstate IS NULL,0,b.readstate)=0 and b.shifuxianshi=1) as noreadcount";

} // namespace

Result<std::vector<TPItem>> ShelfStore::categories() {
  auto rows = db_.query(QStringLiteral("select typeid,typename,paix from book_type order by paix"));
  if (!rows)
    return Result<std::vector<TPItem>>::failure(rows.error());
  std::vector<TPItem> out;
  for (const Row &r : *rows) {
    TPItem t;
    t.id = r.text(QStringLiteral("typeid"));
    t.name = r.text(QStringLiteral("typename"));
    out.push_back(t);
  }
  return out;
}

Result<std::vector<TPItem>> ShelfStore::books(const QString &typeId) {
  auto rows = db_.query(QStringLiteral("select %1 from book_list a where a.typeid=? order by a.paix")
                            .arg(QLatin1String(kBookColumns)),
                        {num(typeId)});
  if (!rows)
    return Result<std::vector<TPItem>>::failure(rows.error());
  std::vector<TPItem> out;
  for (const Row &r : *rows)
    out.push_back(bookFrom(r));
  return out;
}

Result<std::vector<ShelfStore::BookInCategory>> ShelfStore::allBooks() {
  auto rows = db_.query(
      QStringLiteral("select %1 from book_list a order by a.paix").arg(QLatin1String(kBookColumns)));
  if (!rows)
    return Result<std::vector<BookInCategory>>::failure(rows.error());
  std::vector<BookInCategory> out;
  for (const Row &r : *rows)
    out.push_back({r.text(QStringLiteral("typeid")), bookFrom(r)});
  return out;
}

std::optional<TPItem> ShelfStore::book(const QString &bookId) {
  auto row = db_.queryOne(
      QStringLiteral("select %1 from book_list a where a.bookid=?").arg(QLatin1String(kBookColumns)),
      {num(bookId)});
  if (!row || !*row)
    return std::nullopt;
  return bookFrom(**row);
}

Result<int> ShelfStore::noReadCount(const QString &bookId) {
  auto row = db_.queryOne(QStringLiteral("select count(*) as noreadcount from book_zhangjie where "
                                         "bookid=? and shifuxianshi>0 and "
                                         "iif(readstate IS NULL,0,readstate)=0"),
                          {num(bookId)});
  if (!row)
    return Result<int>::failure(row.error());
  return *row ? int((*row)->integer(QStringLiteral("noreadcount"))) : 0;
}

Result<std::optional<QString>> ShelfStore::findCategory(const QString &name,
                                                        const QString &exceptId) {
  auto row = exceptId.isEmpty()
                 ? db_.queryOne(QStringLiteral("SELECT typeid FROM book_type where typename=?"),
                                {name})
                 : db_.queryOne(QStringLiteral("SELECT typeid FROM book_type where typename=? and "
                                               "typeid<>?"),
                                {name, num(exceptId)});
  if (!row)
    return Result<std::optional<QString>>::failure(row.error());
  if (!*row)
    return std::optional<QString>();
  return std::optional<QString>((*row)->text(QStringLiteral("typeid")));
}

Result<qint64> ShelfStore::nextKey(const QString &table) {
  auto row = db_.queryOne(
      QStringLiteral("SELECT iif(Max(paix) IS NULL,0,Max(paix))+1 as newpaix FROM %1").arg(table));
  if (!row)
    return Result<qint64>::failure(row.error());
  return *row ? (*row)->integer(QStringLiteral("newpaix")) : 1;
}

Result<QString> ShelfStore::addCategory(const QString &name) {
  auto key = nextKey(QStringLiteral("book_type"));
  if (!key)
    return Result<QString>::failure(key.error());
  auto ins = db_.exec(QStringLiteral("insert into book_type (typename,paix) values (?,?)"),
                      {name, *key});
  if (!ins)
    return Result<QString>::failure(ins.error());
  auto id = db_.queryOne(QStringLiteral("SELECT max(typeid) as newtypeid FROM book_type"));
  if (!id || !*id)
    return Result<QString>::failure(id ? QStringLiteral("no row") : id.error());
  return (*id)->text(QStringLiteral("newtypeid"));
}

bool ShelfStore::renameCategory(const QString &typeId, const QString &name) {
  return bool(db_.exec(QStringLiteral("update book_type set typename=? where typeid=?"),
                       {name, num(typeId)}));
}

bool ShelfStore::deleteCategory(const QString &typeId) {
  return bool(db_.exec(QStringLiteral("delete from book_type where typeid=?"), {num(typeId)}));
}

Result<bool> ShelfStore::bookExists(const QString &name, const QString &author, const QString &url) {
  auto row = db_.queryOne(QStringLiteral("SELECT bookname FROM book_list where bookname=? and "
                                         "authorname=? and muluurl=?"),
                          {name, author, url});
  if (!row)
    return Result<bool>::failure(row.error());
  return bool(*row);
}

Result<QString> ShelfStore::addBook(const QString &typeId, const QString &name,
                                    const QString &author, const QString &url) {
  auto key = nextKey(QStringLiteral("book_list"));
  if (!key)
    return Result<QString>::failure(key.error());
  auto ins = db_.exec(QStringLiteral("insert into book_list (typeid,bookname,authorname,muluurl,"
                                     "downtype,paix) values (?,?,?,?,0,?)"),
                      {num(typeId), name, author, url, *key});
  if (!ins)
    return Result<QString>::failure(ins.error());
  auto id = db_.queryOne(QStringLiteral("SELECT max(bookid) as newbookid FROM book_list"));
  if (!id || !*id)
    return Result<QString>::failure(id ? QStringLiteral("no row") : id.error());
  return (*id)->text(QStringLiteral("newbookid"));
}

bool ShelfStore::updateBook(const QString &bookId, const QString &typeId, const QString &name,
                            const QString &author, const QString &url, int downtype) {
  return bool(db_.exec(QStringLiteral("update book_list set typeid=?,bookname=?,authorname=?,"
                                      "muluurl=?,downtype=? where bookid=?"),
                       {num(typeId), name, author, url, downtype, num(bookId)}));
}

bool ShelfStore::deleteBook(const QString &bookId) {
  return db_.transaction([&] {
    return db_.exec(QStringLiteral("delete from book_list where bookid=?"), {num(bookId)}) &&
           db_.exec(QStringLiteral("delete from book_zhangjie where bookid=?"), {num(bookId)});
  });
}

// Places row draggedId just before row targetId in the order of a table by shifting the keys in
// between by one; `alsoSet` (", column=?") and its values are stored on the moved row with its
// new key. The table and column names are the callers' constants.
bool ShelfStore::moveBefore(const QString &table, const QString &idColumn, const QString &draggedId,
                            const QString &targetId, const QString &alsoSet,
                            const QVariantList &alsoValues) {
  return db_.transaction([&] {
    auto key = [&](const QString &id) -> std::optional<qint64> {
      auto r = db_.queryOne(QStringLiteral("select paix from %1 where %2=?").arg(table, idColumn),
                            {num(id)});
      if (!r || !*r)
        return std::nullopt;
      return (*r)->integer(QStringLiteral("paix"));
    };
    auto p1 = key(draggedId), p2 = key(targetId);
    if (!p1 || !p2)
      return false;
    const QString place = QStringLiteral("update %1 set paix=?%2 where %3=?").arg(table, alsoSet, idColumn);
    if (*p1 < *p2)
      return db_.exec(QStringLiteral("update %1 set paix=paix-1 where paix>? and paix<?").arg(table),
                      {*p1, *p2}) &&
             db_.exec(place, QVariantList{*p2 - 1} + alsoValues + QVariantList{num(draggedId)});
    return db_.exec(QStringLiteral("update %1 set paix=paix+1 where paix>=? and paix<?").arg(table),
                    {*p2, *p1}) &&
           db_.exec(place, QVariantList{*p2} + alsoValues + QVariantList{num(draggedId)});
  });
}

bool ShelfStore::moveCategory(const QString &draggedId, const QString &targetId) {
  return moveBefore(QStringLiteral("book_type"), QStringLiteral("typeid"), draggedId, targetId, {}, {});
}

bool ShelfStore::moveBook(const QString &draggedId, const QString &targetId, const QString &typeId) {
  return moveBefore(QStringLiteral("book_list"), QStringLiteral("bookid"), draggedId, targetId,
                    QStringLiteral(",typeid=?"), {num(typeId)});
}

bool ShelfStore::moveBookToCategory(const QString &bookId, const QString &typeId) {
  return db_.transaction([&] {
    auto key = nextKey(QStringLiteral("book_list"));
    return key && db_.exec(QStringLiteral("update book_list set typeid=?,paix=? where bookid=?"),
                           {num(typeId), *key, num(bookId)});
  });
}

} // namespace inkwren
