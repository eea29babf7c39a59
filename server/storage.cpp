#include "storage.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUuid>
#include <QVariant>

#include <algorithm>
#include <initializer_list>

namespace inkwren::server {

namespace {

// The schema. "%ID%" is the one spot where the two engines spell a column differently.
const char *const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS users (name TEXT PRIMARY KEY, passhash TEXT NOT NULL, "
    "created BIGINT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS shelf (username TEXT NOT NULL, pos BIGINT NOT NULL, "
    "bookname TEXT NOT NULL, authorname TEXT NOT NULL, booktype TEXT NOT NULL, "
    "downurl TEXT NOT NULL, added BIGINT NOT NULL, PRIMARY KEY (username, pos))",
    "CREATE INDEX IF NOT EXISTS shelf_novel ON shelf (bookname, authorname)",
    "CREATE INDEX IF NOT EXISTS shelf_user_novel ON shelf (username, bookname, authorname)",
    "CREATE TABLE IF NOT EXISTS novels (id %ID%, bookname TEXT NOT NULL, "
    "authorname TEXT NOT NULL, first_added BIGINT NOT NULL, UNIQUE (bookname, authorname))",
    "CREATE TABLE IF NOT EXISTS searchsets (username TEXT PRIMARY KEY, body TEXT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS publications (kind TEXT PRIMARY KEY, stamp TEXT NOT NULL, "
    "filename TEXT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS counters (name TEXT PRIMARY KEY, value BIGINT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS adverts (id %ID%, txt TEXT NOT NULL, url TEXT NOT NULL)",
    "CREATE TABLE IF NOT EXISTS skins (filename TEXT PRIMARY KEY, displayname TEXT NOT NULL, "
    "picture TEXT NOT NULL, added BIGINT NOT NULL)",
};

qint64 now() {
  return QDateTime::currentMSecsSinceEpoch();
}

// Parses "key=value key='value with blanks' ..." as libpq does (no escapes inside quotes).
QHash<QString, QString> parseConnection(const QString &text) {
  QHash<QString, QString> out;
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n) {
    while (i < n && text[i].isSpace())
      ++i;
    const qsizetype eq = text.indexOf('=', i);
    if (eq < 0)
      break;
    const QString key = text.mid(i, eq - i).trimmed();
    i = eq + 1;
    QString value;
    if (i < n && text[i] == '\'') {
      const qsizetype end = text.indexOf('\'', i + 1);
      value = text.mid(i + 1, (end < 0 ? n : end) - i - 1);
      i = end < 0 ? n : end + 1;
    } else {
      while (i < n && !text[i].isSpace())
        value.append(text[i++]);
    }
    out.insert(key, value);
  }
  return out;
}

// Rolls back unless committed.
class Transaction {
public:
  explicit Transaction(QSqlDatabase &db) : m_db(db), m_open(db.transaction()) {}
  ~Transaction() {
    if (m_open)
      m_db.rollback();
  }
  bool ok() const { return m_open; }
  bool commit() {
    m_open = false;
    return m_db.commit();
  }

private:
  QSqlDatabase &m_db;
  bool m_open;
};

} // namespace

Storage::Storage(QString dbPath, QString pgConnection)
    : m_dbPath(std::move(dbPath)), m_pgConnection(std::move(pgConnection)),
      m_engine(m_pgConnection.isEmpty() ? Engine::SQLite : Engine::PostgreSQL),
      m_prefix("iwstore-" + QUuid::createUuid().toString(QUuid::WithoutBraces) + "-") {}

Storage::Stmt::~Stmt() {
  if (m_q)
    m_q->finish(); // resets the statement: no read snapshot stays open
}

Storage::Stmt Storage::run(QSqlDatabase &db, const QString &sql,
                           std::initializer_list<QVariant> values) {
  std::unique_ptr<QSqlQuery> owned;
  QSqlQuery *q = nullptr;
  bool ok;
  if (values.size() == 0) {
    // Statements without values (the schema, settings) are run once, unprepared.
    owned = std::make_unique<QSqlQuery>(db);
    q = owned.get();
    q->setForwardOnly(true);
    ok = q->exec(sql);
  } else {
    // Prepared statements are kept per connection and reused: on PostgreSQL a prepare costs
    // round trips of its own.
    std::map<QString, std::unique_ptr<QSqlQuery>> *cache;
    {
      QMutexLocker lock(&m_namesLock);
      cache = &m_statements[db.connectionName()];
    }
    auto &slot = (*cache)[sql];
    ok = true;
    if (!slot) {
      slot = std::make_unique<QSqlQuery>(db);
      slot->setForwardOnly(true);
      ok = slot->prepare(sql);
      if (!ok)
        qWarning("storage: %s: %s", qPrintable(sql), qPrintable(slot->lastError().text()));
    }
    q = slot.get();
    for (const QVariant &v : values) {
      // A null text would be bound as SQL NULL; texts here are never NULL, only empty.
      if (v.typeId() == QMetaType::QString && v.toString().isNull())
        q->addBindValue(QString(""));
      else
        q->addBindValue(v);
    }
    if (ok && !q->exec()) {
      ok = false;
      qWarning("storage: %s: %s", qPrintable(sql), qPrintable(q->lastError().text()));
    }
    if (!ok) {
      slot.reset(); // prepared again next time (the connection may have been lost)
      q = nullptr;
    }
  }
  if (!ok) {
    if (owned)
      qWarning("storage: %s: %s", qPrintable(sql), qPrintable(owned->lastError().text()));
    // A PostgreSQL server that restarted leaves this connection dead: drop it (and its
    // statements) so that the next call connects again.
    if (m_engine == Engine::PostgreSQL && !owned) {
      QSqlQuery probe(db);
      if (!probe.exec("SELECT 1")) {
        probe.finish();
        {
          QMutexLocker lock(&m_namesLock);
          m_statements.erase(db.connectionName());
        }
        db.close();
      }
    }
    return Stmt(nullptr, nullptr);
  }
  return Stmt(q, std::move(owned));
}

Storage::~Storage() {
  QStringList names;
  {
    QMutexLocker lock(&m_namesLock);
    names = m_names;
    m_statements.clear();
  }
  for (const QString &name : names)
    QSqlDatabase::removeDatabase(name);
}

QSqlDatabase Storage::connection() {
  const QString name =
      m_prefix + QString::number(reinterpret_cast<quintptr>(QThread::currentThreadId()));
  if (QSqlDatabase::contains(name))
    return QSqlDatabase::database(name);
  QSqlDatabase db;
  if (m_engine == Engine::SQLite) {
    db = QSqlDatabase::addDatabase("QSQLITE", name);
    db.setDatabaseName(m_dbPath);
    db.setConnectOptions("QSQLITE_BUSY_TIMEOUT=10000");
  } else {
    db = QSqlDatabase::addDatabase("QPSQL", name);
    QStringList options;
    const auto keys = parseConnection(m_pgConnection);
    for (auto it = keys.begin(); it != keys.end(); ++it) {
      if (it.key() == "host")
        db.setHostName(it.value());
      else if (it.key() == "port")
        db.setPort(it.value().toInt());
      else if (it.key() == "dbname")
        db.setDatabaseName(it.value());
      else if (it.key() == "user")
        db.setUserName(it.value());
      else if (it.key() == "password")
        db.setPassword(it.value());
      else
        options << it.key() + "=" + it.value();
    }
    db.setConnectOptions(options.join(';'));
  }
  {
    QMutexLocker lock(&m_namesLock);
    m_names << name;
  }
  if (!db.open()) {
    qWarning("storage: cannot connect: %s", qPrintable(db.lastError().text()));
    return db;
  }
  if (m_engine == Engine::SQLite) {
    // Readers never wait for the writer; a crash loses at most the last commits, never the file.
    run(db, "PRAGMA journal_mode=WAL");
    run(db, "PRAGMA synchronous=NORMAL");
  }
  return db;
}

bool Storage::open(QString *error) {
  if (m_engine == Engine::SQLite)
    QDir().mkpath(QFileInfo(m_dbPath).absolutePath());
  QSqlDatabase db = connection();
  if (!db.isOpen()) {
    *error = db.lastError().text();
    return false;
  }
  const QString id =
      m_engine == Engine::SQLite ? "INTEGER PRIMARY KEY AUTOINCREMENT" : "BIGSERIAL PRIMARY KEY";
  QMutexLocker lock(&m_writeLock);
  for (const char *statement : kSchema) {
    if (!run(db, QString::fromLatin1(statement).replace("%ID%", id))) {
      *error = "cannot create the tables";
      return false;
    }
  }
  if (!run(db, "INSERT INTO counters (name, value) VALUES (?, ?) ON CONFLICT (name) DO NOTHING",
           {QString("stamp"), qint64(0)})) {
    *error = "cannot create the tables";
    return false;
  }
  return true;
}

std::optional<QString> Storage::passwordHash(const QString &user) {
  QSqlDatabase db = connection();
  auto q = run(db, "SELECT passhash FROM users WHERE name = ?", {user});
  if (!q || !q->next())
    return std::nullopt;
  return q->value(0).toString();
}

bool Storage::addUser(const QString &user, const QString &hash) {
  QSqlDatabase db = connection();
  QMutexLocker lock(m_engine == Engine::SQLite ? &m_writeLock : nullptr);
  auto q = run(db,
               "INSERT INTO users (name, passhash, created) VALUES (?, ?, ?) "
               "ON CONFLICT (name) DO NOTHING",
               {user, hash, now()});
  return q && q->numRowsAffected() == 1;
}

bool Storage::setPasswordHash(const QString &user, const QString &hash) {
  QSqlDatabase db = connection();
  QMutexLocker lock(m_engine == Engine::SQLite ? &m_writeLock : nullptr);
  auto q = run(db, "UPDATE users SET passhash = ? WHERE name = ?", {hash, user});
  return q && q->numRowsAffected() == 1;
}

std::optional<QList<ShelfBook>> Storage::shelf(const QString &user) {
  QSqlDatabase db = connection();
  auto q = run(db,
               "SELECT bookname, authorname, booktype, downurl FROM shelf WHERE username = ? "
               "ORDER BY pos",
               {user});
  if (!q)
    return std::nullopt;
  QList<ShelfBook> books;
  while (q->next())
    books.append({q->value(0).toString(), q->value(1).toString(), q->value(2).toString(),
                  q->value(3).toString()});
  return books;
}

bool Storage::insertBooks(QSqlDatabase &db, const QString &user, const QList<ShelfBook> &books,
                          qint64 firstPos) {
  const qint64 t = now();
  qint64 pos = firstPos;
  for (const ShelfBook &b : books) {
    if (!run(db,
             "INSERT INTO shelf (username, pos, bookname, authorname, booktype, downurl, added) "
             "VALUES (?, ?, ?, ?, ?, ?, ?)",
             {user, pos++, b.bookname, b.authorname, b.booktype, b.downurl, t}))
      return false;
    if (!run(db,
             "INSERT INTO novels (bookname, authorname, first_added) VALUES (?, ?, ?) "
             "ON CONFLICT (bookname, authorname) DO NOTHING",
             {b.bookname, b.authorname, t}))
      return false;
  }
  return true;
}

bool Storage::appendBooks(const QString &user, const QList<ShelfBook> &books) {
  QSqlDatabase db = connection();
  QMutexLocker lock(m_engine == Engine::SQLite ? &m_writeLock : nullptr);
  Transaction tx(db);
  if (!tx.ok())
    return false;
  auto last = run(db, "SELECT MAX(pos) FROM shelf WHERE username = ?", {user});
  if (!last)
    return false;
  const qint64 next =
      last->next() && !last->value(0).isNull() ? last->value(0).toLongLong() + 1 : 0;
  QList<ShelfBook> fresh;
  for (const ShelfBook &b : books) {
    const bool repeated = std::any_of(fresh.begin(), fresh.end(), [&](const ShelfBook &f) {
      return f.bookname == b.bookname && f.authorname == b.authorname && f.downurl == b.downurl;
    });
    if (repeated)
      continue;
    auto held = run(db,
                    "SELECT 1 FROM shelf WHERE username = ? AND bookname = ? AND authorname = ? "
                    "AND downurl = ?",
                    {user, b.bookname, b.authorname, b.downurl});
    if (!held)
      return false;
    if (!held->next())
      fresh.append(b);
  }
  if (!insertBooks(db, user, fresh, next))
    return false;
  return tx.commit();
}

bool Storage::replaceShelf(const QString &user, const QList<ShelfBook> &books) {
  QSqlDatabase db = connection();
  QMutexLocker lock(m_engine == Engine::SQLite ? &m_writeLock : nullptr);
  Transaction tx(db);
  if (!tx.ok() || !run(db, "DELETE FROM shelf WHERE username = ?", {user}))
    return false;
  if (!insertBooks(db, user, books, 0))
    return false;
  return tx.commit();
}

bool Storage::clearShelf(const QString &user) {
  QSqlDatabase db = connection();
  QMutexLocker lock(m_engine == Engine::SQLite ? &m_writeLock : nullptr);
  return run(db, "DELETE FROM shelf WHERE username = ?", {user}).has_value();
}

bool Storage::saveSearchSet(const QString &user, const QString &text) {
  QSqlDatabase db = connection();
  QMutexLocker lock(m_engine == Engine::SQLite ? &m_writeLock : nullptr);
  return run(db,
             "INSERT INTO searchsets (username, body) VALUES (?, ?) "
             "ON CONFLICT (username) DO UPDATE SET body = excluded.body",
             {user, text})
      .has_value();
}

std::optional<QString> Storage::searchSet(const QString &user) {
  QSqlDatabase db = connection();
  auto q = run(db, "SELECT body FROM searchsets WHERE username = ?", {user});
  if (!q || !q->next())
    return std::nullopt;
  return q->value(0).toString();
}

std::optional<Publication> Storage::publication(const QString &kind) {
  QSqlDatabase db = connection();
  auto q = run(db, "SELECT stamp, filename FROM publications WHERE kind = ?", {kind});
  if (!q || !q->next())
    return std::nullopt;
  return Publication{q->value(0).toString(), q->value(1).toString()};
}

bool Storage::setPublication(const QString &kind, const Publication &p) {
  QSqlDatabase db = connection();
  QMutexLocker lock(m_engine == Engine::SQLite ? &m_writeLock : nullptr);
  return run(db,
             "INSERT INTO publications (kind, stamp, filename) VALUES (?, ?, ?) "
             "ON CONFLICT (kind) DO UPDATE SET stamp = excluded.stamp, "
             "filename = excluded.filename",
             {kind, p.stamp, p.filename})
      .has_value();
}

std::optional<qint64> Storage::nextStamp() {
  QSqlDatabase db = connection();
  QMutexLocker lock(m_engine == Engine::SQLite ? &m_writeLock : nullptr);
  Transaction tx(db);
  if (!tx.ok() || !run(db, "UPDATE counters SET value = value + 1 WHERE name = ?", {"stamp"}))
    return std::nullopt;
  auto q = run(db, "SELECT value FROM counters WHERE name = ?", {"stamp"});
  if (!q || !q->next())
    return std::nullopt;
  const qint64 value = q->value(0).toLongLong();
  q->finish();
  if (!tx.commit())
    return std::nullopt;
  return value;
}

std::optional<QList<Advert>> Storage::adverts() {
  QSqlDatabase db = connection();
  auto q = run(db, "SELECT id, txt, url FROM adverts ORDER BY id");
  if (!q)
    return std::nullopt;
  QList<Advert> out;
  while (q->next())
    out.append({q->value(0).toLongLong(), q->value(1).toString(), q->value(2).toString()});
  return out;
}

bool Storage::addAdvert(const QString &text, const QString &url) {
  QSqlDatabase db = connection();
  QMutexLocker lock(m_engine == Engine::SQLite ? &m_writeLock : nullptr);
  return run(db, "INSERT INTO adverts (txt, url) VALUES (?, ?)", {text, url}).has_value();
}

bool Storage::removeAdvert(qint64 id) {
  QSqlDatabase db = connection();
  QMutexLocker lock(m_engine == Engine::SQLite ? &m_writeLock : nullptr);
  auto q = run(db, "DELETE FROM adverts WHERE id = ?", {id});
  return q && q->numRowsAffected() == 1;
}

std::optional<QList<Skin>> Storage::skins() {
  QSqlDatabase db = connection();
  auto q =
      run(db, "SELECT filename, displayname, picture FROM skins ORDER BY added DESC, filename");
  if (!q)
    return std::nullopt;
  QList<Skin> out;
  while (q->next())
    out.append({q->value(0).toString(), q->value(1).toString(), q->value(2).toString()});
  return out;
}

bool Storage::addSkin(const Skin &skin) {
  QSqlDatabase db = connection();
  QMutexLocker lock(m_engine == Engine::SQLite ? &m_writeLock : nullptr);
  return run(db,
             "INSERT INTO skins (filename, displayname, picture, added) VALUES (?, ?, ?, ?) "
             "ON CONFLICT (filename) DO UPDATE SET displayname = excluded.displayname, "
             "picture = excluded.picture, added = excluded.added",
             {skin.filename, skin.displayname, skin.picture, now()})
      .has_value();
}

bool Storage::removeSkin(const QString &filename) {
  QSqlDatabase db = connection();
  QMutexLocker lock(m_engine == Engine::SQLite ? &m_writeLock : nullptr);
  auto q = run(db, "DELETE FROM skins WHERE filename = ?", {filename});
  return q && q->numRowsAffected() == 1;
}

std::optional<QList<RankedNovel>> Storage::mostShelved(int limit, const QString &category) {
  QSqlDatabase db = connection();
  const QString head = "SELECT n.id, n.bookname, n.authorname, COUNT(DISTINCT s.username) AS r "
                       "FROM novels n JOIN shelf s ON s.bookname = n.bookname AND "
                       "s.authorname = n.authorname ";
  const QString tail = "GROUP BY n.id, n.bookname, n.authorname ORDER BY r DESC, n.id LIMIT ?";
  auto q = category.isEmpty() ? run(db, head + tail, {limit})
                              : run(db, head + "WHERE s.booktype = ? " + tail, {category, limit});
  if (!q)
    return std::nullopt;
  QList<RankedNovel> out;
  while (q->next())
    out.append({q->value(0).toLongLong(), q->value(1).toString(), q->value(2).toString(),
                q->value(3).toLongLong()});
  return out;
}

std::optional<QList<RankedNovel>> Storage::newestNovels(int limit) {
  QSqlDatabase db = connection();
  auto q = run(db,
               "SELECT n.id, n.bookname, n.authorname FROM novels n WHERE EXISTS (SELECT 1 "
               "FROM shelf s WHERE s.bookname = n.bookname AND s.authorname = n.authorname) "
               "ORDER BY n.first_added DESC, n.id DESC LIMIT ?",
               {limit});
  if (!q)
    return std::nullopt;
  QList<RankedNovel> out;
  while (q->next())
    out.append({q->value(0).toLongLong(), q->value(1).toString(), q->value(2).toString(), 0});
  return out;
}

std::optional<QStringList> Storage::topCategories(int limit) {
  QSqlDatabase db = connection();
  auto q = run(db,
               "SELECT booktype, COUNT(DISTINCT username) AS r FROM shelf WHERE booktype <> ? "
               "GROUP BY booktype ORDER BY r DESC, booktype LIMIT ?",
               {QString(""), limit});
  if (!q)
    return std::nullopt;
  QStringList out;
  while (q->next())
    out << q->value(0).toString();
  return out;
}

std::optional<NovelDetail> Storage::novel(qint64 id) {
  QSqlDatabase db = connection();
  auto q = run(db, "SELECT bookname, authorname FROM novels WHERE id = ?", {id});
  if (!q || !q->next())
    return std::nullopt;
  NovelDetail d;
  d.novel = {id, q->value(0).toString(), q->value(1).toString(), 0};
  const QVariant name = d.novel.bookname, author = d.novel.authorname;
  // The category and address most readers use for it.
  for (const char *column : {"booktype", "downurl"}) {
    const QString c = QString::fromLatin1(column);
    auto m = run(db,
                 "SELECT " + c +
                     ", COUNT(*) AS r FROM shelf WHERE bookname = ? AND "
                     "authorname = ? GROUP BY " +
                     c + " ORDER BY r DESC, " + c + " LIMIT 1",
                 {name, author});
    if (!m)
      return std::nullopt;
    if (m->next())
      (c == "booktype" ? d.booktype : d.downurl) = m->value(0).toString();
  }
  auto r = run(db,
               "SELECT COUNT(DISTINCT username) FROM shelf WHERE bookname = ? AND "
               "authorname = ?",
               {name, author});
  if (r && r->next())
    d.novel.readers = r->value(0).toLongLong();
  return d;
}

} // namespace inkwren::server
