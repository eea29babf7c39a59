#include "shelf/chapterstore.h"

#include "shelf/chapterfiles.h"

#include <QSet>

namespace inkwren {
namespace {

qint64 num(const QString &id) {
  return id.toLongLong();
}

ChapterRow chapterFrom(const Row &r) {
  ChapterRow c;
  c.id = r.text(QStringLiteral("zhangjieid"));
  c.name = r.text(QStringLiteral("zhangjiename"));
  c.volume = r.text(QStringLiteral("fenjuanname"));
  c.url = r.text(QStringLiteral("zhangjieurl"));
  c.words = int(r.integer(QStringLiteral("zishutongji")));
  c.addtime = r.text(QStringLiteral("addtime"));
  c.readstate = r.integer(QStringLiteral("readstate")) == 1 ? 1 : 0; // NULL reads as unread
  return c;
}

const char *const kChapterColumns =
    "zhangjieid,zhangjiename,fenjuanname,zhangjieurl,zishutongji,addtime,readstate";

// Placeholders "?,?,…" for an IN list of n values.
QString marks(qsizetype n) {
  QString s;
  for (qsizetype i = 0; i < n; ++i)
    s += i ? QStringLiteral(",?") : QStringLiteral("?");
  return s;
}

Result<std::vector<ChapterRow>> chaptersFrom(Result<Rows> rows) {
  if (!rows)
    return Result<std::vector<ChapterRow>>::failure(rows.error());
  std::vector<ChapterRow> out;
  out.reserve(rows->size());
  for (const Row &r : *rows)
    out.push_back(chapterFrom(r));
  return out;
}

} // namespace

QString ChapterStore::addressKey(const QString &url) {
  QString k = url;
  for (QChar &c : k)
    if (c.unicode() >= 'A' && c.unicode() <= 'Z')
      c = QChar(c.unicode() + 32);
  return k;
}

Result<std::vector<ChapterRow>> ChapterStore::drawmulu(const QString &bookId, int mode) {
  static const char *const kEndings[] = {
      " and shifuxianshi=1 order by paix,zhangjieid",
      " and shifuxianshi=1 order by zhangjiename,zhangjieid",
      " and shifuxianshi=1 order by addtime,zhangjieid",
      " and shifuxianshi=1 order by zhangjieurl",
  };
  const char *ending = kEndings[mode >= 0 && mode <= 3 ? mode : 0];
  auto rows = db_.query(QStringLiteral("select %1 from book_zhangjie where bookid=?%2")
                            .arg(QLatin1String(kChapterColumns), QLatin1String(ending)),
                        {num(bookId)});
  return chaptersFrom(std::move(rows));
}

Result<std::vector<LatestRow>> ChapterStore::latest(int limit) {
  auto rows = db_.query(
      QStringLiteral("select a.bookid,a.bookname,b.zhangjieid,b.zhangjiename,b.fenjuanname,"
                     "b.zhangjieurl,b.zishutongji,b.addtime,readstate from book_list a, "
                     "book_zhangjie b where a.bookid=b.bookid and b.shifuxianshi=1 order by "
                     "b.addtime desc,b.paix desc LIMIT ?"),
      {limit});
  if (!rows)
    return Result<std::vector<LatestRow>>::failure(rows.error());
  std::vector<LatestRow> out;
  for (const Row &r : *rows)
    out.push_back(
        {r.text(QStringLiteral("bookid")), r.text(QStringLiteral("bookname")), chapterFrom(r)});
  return out;
}

std::optional<ChapterRow> ChapterStore::chapter(const QString &bookId, const QString &chapterId) {
  auto row = db_.queryOne(QStringLiteral("select %1 from book_zhangjie where bookid=? and "
                                         "zhangjieid=?")
                              .arg(QLatin1String(kChapterColumns)),
                          {num(bookId), num(chapterId)});
  if (!row || !*row)
    return std::nullopt;
  return chapterFrom(**row);
}

bool ChapterStore::mark(const QString &bookId, const QStringList &chapterIds, bool read) {
  if (chapterIds.isEmpty())
    return true;
  QVariantList values{read ? 1 : 0, num(bookId)};
  for (const QString &id : chapterIds)
    values.append(num(id));
  return bool(db_.exec(QStringLiteral("update book_zhangjie set readstate=? where bookid=? and "
                                      "zhangjieid in (%1)")
                           .arg(marks(chapterIds.size())),
                       values));
}

bool ChapterStore::markAll(const QString &bookId, bool read) {
  return bool(db_.exec(QStringLiteral("update book_zhangjie set readstate=? where bookid=?"),
                       {read ? 1 : 0, num(bookId)}));
}

bool ChapterStore::zjdelsql(const ChapterFiles &files, const QString &bookId,
                            const QString &chapterId) {
  if (!db_.exec(QStringLiteral("delete from book_zhangjie where bookid=? and zhangjieid=?"),
                {num(bookId), num(chapterId)}))
    return false;
  files.deleteChapter(bookId, chapterId);
  return true;
}

bool ChapterStore::editzjsx(const QString &bookId, const QString &chapterId, const QString &name,
                            const QString &volume, const QString &url) {
  return bool(db_.exec(QStringLiteral("update book_zhangjie set zhangjiename=?,fenjuanname=?,"
                                      "zhangjieurl=? where bookid=? and zhangjieid=?"),
                       {name, volume, url, num(bookId), num(chapterId)}));
}

bool ChapterStore::setWords(const QString &bookId, const QString &chapterId, int words) {
  return bool(db_.exec(QStringLiteral("update book_zhangjie set zishutongji=? where bookid=? and "
                                      "zhangjieid=?"),
                       {words, num(bookId), num(chapterId)}));
}

Result<qint64> ChapterStore::nextKey(const QString &bookId) {
  auto row = db_.queryOne(
      QStringLiteral("SELECT Max(paix) as mpx FROM book_zhangjie where bookid=?"), {num(bookId)});
  if (!row)
    return Result<qint64>::failure(row.error());
  if (!*row || (*row)->isNull(QStringLiteral("mpx")))
    return qint64(1);
  return (*row)->integer(QStringLiteral("mpx")) + 1;
}

std::optional<ChapterRow> ChapterStore::addChapter(const QString &bookId, const QString &name,
                                                   const QString &volume, const QString &url,
                                                   std::optional<int> words) {
  std::optional<ChapterRow> added;
  // Key, insert and read-back in one transaction: no other writer can slip a row in between,
  // so the row read back is the one inserted.
  db_.transaction([&] {
    auto key = nextKey(bookId);
    if (!key)
      return false;
    auto ins = words ? db_.exec(QStringLiteral("insert into book_zhangjie (bookid,zhangjiename,"
                                               "fenjuanname,zhangjieurl,paix,zishutongji) values "
                                               "(?,?,?,?,?,?)"),
                                {num(bookId), name, volume, url, *key, *words})
                     : db_.exec(QStringLiteral("insert into book_zhangjie (bookid,zhangjiename,"
                                               "fenjuanname,zhangjieurl,paix) values (?,?,?,?,?)"),
                                {num(bookId), name, volume, url, *key});
    if (!ins)
      return false;
    auto row = db_.queryOne(QStringLiteral("SELECT %1 FROM book_zhangjie where bookid=? order by "
                                           "zhangjieid desc LIMIT 1")
                                .arg(QLatin1String(kChapterColumns)),
                            {num(bookId)});
    if (!row || !*row)
      return false;
    added = chapterFrom(**row);
    return true;
  });
  return added;
}

bool ChapterStore::zjmovesql(const QString &bookId, const QString &movedId,
                             const QString &targetId) {
  return db_.transaction([&] {
    auto key = [&](const QString &id) -> qint64 {
      auto r = db_.queryOne(QStringLiteral("SELECT paix FROM book_zhangjie where bookid=? and "
                                           "zhangjieid=?"),
                            {num(bookId), num(id)});
      return r && *r ? (*r)->integer(QStringLiteral("paix")) : -1;
    };
    qint64 p1 = key(movedId), p2 = key(targetId);
    if (p1 < 0 || p2 < 0)
      return false;
    if (p2 < p1)
      return db_.exec(QStringLiteral("update book_zhangjie set paix=paix+1 where bookid=? and "
                                     "paix>=? and paix<=?"),
                      {num(bookId), p2, p1}) &&
             db_.exec(QStringLiteral("update book_zhangjie set paix=? where bookid=? and "
                                     "zhangjieid=?"),
                      {p2, num(bookId), num(movedId)});
    return db_.exec(QStringLiteral("update book_zhangjie set paix=paix-1 where bookid=? and "
                                   "paix>=? and paix<?"),
                    {num(bookId), p1, p2}) &&
           db_.exec(QStringLiteral("update book_zhangjie set paix=? where bookid=? and "
                                   "zhangjieid=?"),
                    {p2 - 1, num(bookId), num(movedId)});
  });
}

bool ChapterStore::zjpaixsql(const QString &bookId, const QStringList &chapterIdsInOrder) {
  return db_.transaction([&] {
    for (qsizetype i = 0; i < chapterIdsInOrder.size(); ++i)
      if (!db_.exec(QStringLiteral("update book_zhangjie set paix=? where bookid=? and "
                                   "zhangjieid=?"),
                    {qint64(i + 1), num(bookId), num(chapterIdsInOrder[i])}))
        return false;
    return true;
  });
}

bool ChapterStore::removeRow(const QString &bookId, const QString &chapterId) {
  return bool(db_.exec(QStringLiteral("delete from book_zhangjie where bookid=? and zhangjieid=?"),
                       {num(bookId), num(chapterId)}));
}

Result<std::vector<ChapterRow>> ChapterStore::filtered(const QString &bookId) {
  return chaptersFrom(db_.query(QStringLiteral("select %1 from book_zhangjie where bookid=? and "
                                               "shifuxianshi=0 order by paix,zhangjieid")
                                    .arg(QLatin1String(kChapterColumns)),
                                {num(bookId)}));
}

bool ChapterStore::setShown(const QString &bookId, const QString &chapterId, bool shown) {
  return bool(db_.exec(QStringLiteral("update book_zhangjie set shifuxianshi=? where bookid=? "
                                      "and zhangjieid=?"),
                       {shown ? 1 : 0, num(bookId), num(chapterId)}));
}

Result<std::vector<ChapterRow>> ChapterStore::chaptersWithoutText(const QString &bookId) {
  return chaptersFrom(db_.query(QStringLiteral("select %1 from book_zhangjie where bookid=? and "
                                               "shifuxianshi=1 and zishutongji=0 order by paix")
                                    .arg(QLatin1String(kChapterColumns)),
                                {num(bookId)}));
}

Result<std::vector<ChapterRow>> ChapterStore::chaptersAmong(const QString &bookId,
                                                            const QStringList &ids) {
  QVariantList values{num(bookId)};
  for (const QString &id : ids) {
    bool ok = false;
    const qint64 n = id.toLongLong(&ok);
    if (ok)
      values << n;
  }
  if (values.size() == 1)
    return std::vector<ChapterRow>{};
  return chaptersFrom(
      db_.query(QStringLiteral("select %1 from book_zhangjie where bookid=? and "
                               "shifuxianshi=1 and zhangjieid in (%2) order by paix")
                    .arg(QLatin1String(kChapterColumns), marks(values.size() - 1)),
                values));
}

int ChapterStore::appendNew(const QString &bookId, const std::vector<TocEntry> &entries) {
  const qint64 book = num(bookId);
  int added = 0;
  // One transaction for the whole page: the known addresses are read inside it, so nothing
  // another writer adds in between can be added twice, and a commit per chapter would make a
  // long table of contents slow.
  const bool committed = db_.transaction([&] {
    auto top = db_.queryOne(
        QStringLiteral("SELECT Max(paix) as mpx FROM book_zhangjie where bookid=?"), {book});
    auto knownRows =
        db_.query(QStringLiteral("SELECT zhangjieurl FROM book_zhangjie where bookid=?"), {book});
    if (!top || !knownRows)
      return false;
    qint64 counter = *top ? (*top)->integer(QStringLiteral("mpx")) : 0;
    QSet<QString> known;
    known.reserve(knownRows->size() + qsizetype(entries.size()));
    for (const Row &r : *knownRows)
      known.insert(addressKey(r.text(QStringLiteral("zhangjieurl"))));
    for (const TocEntry &e : entries) {
      QString key = addressKey(e.url);
      if (known.contains(key))
        continue;
      ++counter;
      if (!db_.exec(QStringLiteral("insert into book_zhangjie (bookid,zhangjiename,fenjuanname,"
                                   "zhangjieurl,paix) values (?,?,?,?,?)"),
                    {book, e.name, e.volume, e.url, counter}))
        continue;
      known.insert(key);
      ++added;
    }
    return true;
  });
  return committed ? added : -1;
}

int ChapterStore::setOrderByAddress(const QString &bookId, const QStringList &urlsInOrder) {
  int changed = 0;
  db_.transaction([&] {
    qint64 k = 0;
    for (const QString &url : urlsInOrder) {
      ++k;
      auto r = db_.exec(
          QStringLiteral("update book_zhangjie set paix=? where bookid=? and zhangjieurl=?"),
          {k, num(bookId), url});
      if (r && *r > 0)
        ++changed;
    }
    return true;
  });
  return changed;
}

bool ChapterStore::setNameAndVolume(const QString &bookId, const QString &chapterId,
                                    const QString &name, const QString &volume) {
  return bool(db_.exec(QStringLiteral("update book_zhangjie set zhangjiename=?,fenjuanname=? where "
                                      "bookid=? and zhangjieid=?"),
                       {name, volume, num(bookId), num(chapterId)}));
}

} // namespace inkwren
