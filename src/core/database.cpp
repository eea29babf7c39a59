#include "core/database.h"

#include <QFileInfo>
#include <QMutexLocker>
#include <QUrl>

#include <sqlite3.h>

namespace inkwren {
namespace {

// Text compares without regard to case, as the library always has: a category name or a
// chapter address differing only in case is the same one.
const char *const kSchema = R"sql(
CREATE TABLE book_type (
  typeid INTEGER PRIMARY KEY AUTOINCREMENT,
  typename TEXT COLLATE NOCASE NOT NULL DEFAULT '',
  paix INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE book_list (
  bookid INTEGER PRIMARY KEY AUTOINCREMENT,
  typeid INTEGER NOT NULL DEFAULT 0,
  bookname TEXT COLLATE NOCASE NOT NULL DEFAULT '',
  authorname TEXT COLLATE NOCASE NOT NULL DEFAULT '',
  muluurl TEXT COLLATE NOCASE NOT NULL DEFAULT '',
  downtype INTEGER NOT NULL DEFAULT 0,
  paix INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE book_zhangjie (
  zhangjieid INTEGER PRIMARY KEY AUTOINCREMENT,
  bookid INTEGER NOT NULL,
  zhangjiename TEXT COLLATE NOCASE NOT NULL DEFAULT '',
  fenjuanname TEXT COLLATE NOCASE NOT NULL DEFAULT '',
  zhangjieurl TEXT COLLATE NOCASE NOT NULL DEFAULT '',
  paix INTEGER NOT NULL DEFAULT 0,
  zishutongji INTEGER NOT NULL DEFAULT 0,
  addtime TEXT NOT NULL DEFAULT (datetime('now', 'localtime')),
  readstate INTEGER DEFAULT 0,
  shifuxianshi INTEGER NOT NULL DEFAULT 1
);
CREATE INDEX book_type_paix ON book_type (paix);
CREATE INDEX book_list_type_paix ON book_list (typeid, paix);
CREATE INDEX book_zhangjie_url ON book_zhangjie (bookid, zhangjieurl);
CREATE INDEX book_zhangjie_paix ON book_zhangjie (bookid, paix, zhangjieid);
CREATE INDEX book_zhangjie_added ON book_zhangjie (addtime);
)sql";

// A book lists each chapter address once. Libraries made before this rule may hold the same
// address twice (two updates of one book at once): the copies are merged first, keeping the
// row that has text (then the earliest in the book's order), so the index can be made. Chapters
// without an address (imported or typed in) may be many.
const char *const kOneRowPerAddress = R"sql(
DELETE FROM book_zhangjie WHERE zhangjieid IN (
  SELECT zhangjieid FROM (
    SELECT zhangjieid, row_number() OVER (PARTITION BY bookid, zhangjieurl
                                          ORDER BY zishutongji > 0 DESC, paix, zhangjieid) AS n
    FROM book_zhangjie WHERE zhangjieurl <> '')
  WHERE n > 1);
CREATE UNIQUE INDEX IF NOT EXISTS book_zhangjie_one_url ON book_zhangjie (bookid, zhangjieurl)
  WHERE zhangjieurl <> '';
)sql";

QString lastError(sqlite3 *db) {
  return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("数据库未连接");
}

bool hasIndex(sqlite3 *db, const char *name) {
  sqlite3_stmt *st = nullptr;
  if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE type='index' AND name=?", -1, &st,
                         nullptr) != SQLITE_OK)
    return false;
  sqlite3_bind_text(st, 1, name, -1, SQLITE_STATIC);
  bool found = sqlite3_step(st) == SQLITE_ROW;
  sqlite3_finalize(st);
  return found;
}

// Brings an older library up to the present rules; a library that can't be written (a
// read-only data folder) is used as it is.
void upgrade(sqlite3 *db) {
  if (hasIndex(db, "book_zhangjie_one_url"))
    return;
  if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
    return;
  if (sqlite3_exec(db, kOneRowPerAddress, nullptr, nullptr, nullptr) == SQLITE_OK)
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  else
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
}

// Whether the file holds the library's tables. A file that is no database at all reads as no;
// a library another program holds locked longer than the wait is an error, not a "no" (*busy).
bool hasLibraryTables(sqlite3 *db, bool *busy = nullptr) {
  if (busy)
    *busy = false;
  if (!db)
    return false;
  // Another program may be switching the library's journal or checkpointing it just now.
  sqlite3_busy_timeout(db, 5000);
  sqlite3_stmt *st = nullptr;
  const char *sql = "SELECT count(*) FROM sqlite_master WHERE type='table' AND name IN "
                    "('book_type','book_list','book_zhangjie')";
  int rc = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
  bool ok = false;
  if (rc == SQLITE_OK) {
    rc = sqlite3_step(st);
    ok = rc == SQLITE_ROW && sqlite3_column_int(st, 0) == 3;
  }
  sqlite3_finalize(st);
  if (busy)
    *busy = (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED;
  return ok;
}

void bind(sqlite3_stmt *st, const QVariantList &values) {
  for (int i = 0; i < values.size(); ++i) {
    const QVariant &v = values[i];
    int n = i + 1;
    if (v.isNull()) {
      sqlite3_bind_null(st, n);
      continue;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
      sqlite3_bind_int64(st, n, v.toLongLong());
      break;
    case QMetaType::Double:
      sqlite3_bind_double(st, n, v.toDouble());
      break;
    default: {
      QByteArray text = v.toString().toUtf8();
      sqlite3_bind_text(st, n, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    }
  }
}

QVariant column(sqlite3_stmt *st, int i) {
  switch (sqlite3_column_type(st, i)) {
  case SQLITE_INTEGER:
    return QVariant(qint64(sqlite3_column_int64(st, i)));
  case SQLITE_FLOAT:
    return QVariant(sqlite3_column_double(st, i));
  case SQLITE_NULL:
    return QVariant();
  default:
    return QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)),
                                      sqlite3_column_bytes(st, i)));
  }
}

} // namespace

QVariant Row::value(const QString &column) const {
  qsizetype i = names_->indexOf(column, 0);
  if (i < 0)
    for (i = 0; i < names_->size(); ++i)
      if ((*names_)[i].compare(column, Qt::CaseInsensitive) == 0)
        break;
  return i < values_.size() ? values_[i] : QVariant();
}

QString Row::text(const QString &column) const {
  QVariant v = value(column);
  return v.isNull() ? QString() : v.toString();
}

qint64 Row::integer(const QString &column) const {
  return value(column).toLongLong();
}

bool Row::isNull(const QString &column) const {
  return value(column).isNull();
}

Database::~Database() {
  connectionend();
}

bool Database::createLibrary(const QString &path, QString *error) {
  if (QFileInfo::exists(path)) {
    if (error)
      *error = QStringLiteral("文件已存在");
    return false;
  }
  sqlite3 *db = nullptr;
  int rc = sqlite3_open_v2(path.toUtf8().constData(), &db,
                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  char *msg = nullptr;
  if (rc == SQLITE_OK)
    rc = sqlite3_exec(db, kSchema, nullptr, nullptr, &msg);
  if (rc == SQLITE_OK)
    rc = sqlite3_exec(db, kOneRowPerAddress, nullptr, nullptr, &msg);
  if (rc != SQLITE_OK && error)
    *error = msg ? QString::fromUtf8(msg) : lastError(db);
  sqlite3_free(msg);
  sqlite3_close(db);
  return rc == SQLITE_OK;
}

bool Database::connectioncreat(const QString &path, QString *error) {
  QMutexLocker lock(&mutex_);
  connectionend();
  auto fail = [&](const QString &why, sqlite3 *db) {
    if (error)
      *error = why;
    sqlite3_close(db);
    return false;
  };
  const QFileInfo file(path);
  if (!file.isFile())
    return fail(QStringLiteral("文件不存在"), nullptr);
  if (!file.isReadable())
    return fail(QStringLiteral("文件不可读"), nullptr);
  // A library in a folder that can't be written (a read-only data folder) is opened for
  // reading: the commands that only read still work, the others fail as failing statements.
  readOnly_ = !file.isWritable() || !QFileInfo(file.absolutePath()).isWritable();
  sqlite3 *db = nullptr;
  if (!readOnly_) {
    if (sqlite3_open_v2(path.toUtf8().constData(), &db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr) != SQLITE_OK)
      return fail(lastError(db), db);
  } else {
    // Read-only first; a library left in WAL mode can only be read as an unchanging file when
    // its side files can't be made.
    const QByteArray uri = QUrl::fromLocalFile(file.absoluteFilePath()).toEncoded();
    for (const char *query : {"?mode=ro", "?immutable=1"}) {
      sqlite3_close(db);
      db = nullptr;
      if (sqlite3_open_v2((uri + query).constData(), &db,
                          SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_FULLMUTEX,
                          nullptr) == SQLITE_OK &&
          hasLibraryTables(db))
        break;
    }
  }
  // Reading the schema is what tells a library from any other file; nothing is written before.
  bool busy = false;
  if (!hasLibraryTables(db, &busy))
    return fail(busy        ? lastError(db)
                : readOnly_ ? QStringLiteral("只读的文件夹中无法读取书库")
                            : QStringLiteral("不是书库文件"),
                db);
  if (!readOnly_) {
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=OFF",
                 nullptr, nullptr, nullptr);
    upgrade(db);
  }
  db_ = db;
  return true;
}

sqlite3_stmt *Database::statement(const QString &sql) {
  auto found = statements_.find(sql);
  if (found != statements_.end())
    return found->second;
  sqlite3_stmt *st = nullptr;
  const QByteArray text = sql.toUtf8();
  if (sqlite3_prepare_v3(db_, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT, &st,
                         nullptr) != SQLITE_OK)
    return nullptr;
  // Statements built with varying text (IN lists) are not worth keeping once there are many.
  if (statements_.size() >= kMaxStatements)
    clearStatements();
  statements_.emplace(sql, st);
  return st;
}

void Database::release(sqlite3_stmt *st) {
  sqlite3_reset(st);
  sqlite3_clear_bindings(st);
}

void Database::clearStatements() {
  for (auto &[sql, st] : statements_)
    sqlite3_finalize(st);
  statements_.clear();
}

void Database::connectionend() {
  QMutexLocker lock(&mutex_);
  clearStatements();
  if (db_)
    sqlite3_close_v2(db_);
  db_ = nullptr;
}

bool Database::isOpen() const {
  QMutexLocker lock(&mutex_);
  return db_ != nullptr;
}

Result<Rows> Database::query(const QString &sql, const QVariantList &values) {
  QMutexLocker lock(&mutex_);
  if (!db_)
    return Result<Rows>::failure(lastError(nullptr));
  sqlite3_stmt *st = statement(sql);
  if (!st)
    return Result<Rows>::failure(lastError(db_));
  bind(st, values);
  auto names = std::make_shared<QStringList>();
  for (int i = 0; i < sqlite3_column_count(st); ++i)
    names->append(QString::fromUtf8(sqlite3_column_name(st, i)));
  Rows rows;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    QVariantList vals;
    vals.reserve(names->size());
    for (int i = 0; i < names->size(); ++i)
      vals.append(column(st, i));
    rows.emplace_back(names, std::move(vals));
  }
  release(st);
  if (rc != SQLITE_DONE)
    return Result<Rows>::failure(lastError(db_));
  return rows;
}

Result<std::optional<Row>> Database::queryOne(const QString &sql, const QVariantList &values) {
  auto rows = query(sql, values);
  if (!rows)
    return Result<std::optional<Row>>::failure(rows.error());
  if (rows->empty())
    return std::optional<Row>();
  return std::optional<Row>((*rows)[0]);
}

Result<qint64> Database::exec(const QString &sql, const QVariantList &values) {
  QMutexLocker lock(&mutex_);
  if (!db_)
    return Result<qint64>::failure(lastError(nullptr));
  sqlite3_stmt *st = statement(sql);
  if (!st)
    return Result<qint64>::failure(lastError(db_));
  bind(st, values);
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
  }
  release(st);
  if (rc != SQLITE_DONE)
    return Result<qint64>::failure(lastError(db_));
  return qint64(sqlite3_changes64(db_));
}

qint64 Database::lastInsertId() {
  QMutexLocker lock(&mutex_);
  return db_ ? qint64(sqlite3_last_insert_rowid(db_)) : 0;
}

bool Database::transaction(const std::function<bool()> &body) {
  QMutexLocker lock(&mutex_);
  if (!db_ || !exec(QStringLiteral("BEGIN IMMEDIATE")))
    return false;
  bool ok = false;
  try {
    ok = body();
  } catch (...) {
    ok = false;
  }
  if (ok && exec(QStringLiteral("COMMIT")))
    return true;
  exec(QStringLiteral("ROLLBACK"));
  return false;
}

} // namespace inkwren
