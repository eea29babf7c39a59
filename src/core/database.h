#pragma once
// The library database "db/book.dat": an SQLite file with the tables book_type, book_list and
// book_zhangjie. Statements take bound values (never text pasted into SQL), and every statement
// is serialised on one connection shared by the main thread and the update worker: any thread
// may call any method. A transaction holds the connection for its whole length. Each statement
// text is prepared once per connection and kept for the next call.
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace inkwren {

// One result row; columns are read by name.
class Row {
public:
  Row(std::shared_ptr<const QStringList> names, QVariantList values)
      : names_(std::move(names)), values_(std::move(values)) {}
  QVariant value(const QString &column) const;
  QString text(const QString &column) const;   // NULL gives ""
  qint64 integer(const QString &column) const; // NULL or text gives 0
  bool isNull(const QString &column) const;

private:
  std::shared_ptr<const QStringList> names_;
  QVariantList values_;
};

// A value or the reason there is none. Library failures are values the caller handles.
template <class T> class Result {
public:
  Result(T value) : value_(std::move(value)) {}
  static Result failure(QString message) {
    Result r;
    r.error_ = std::move(message);
    return r;
  }
  bool ok() const { return value_.has_value(); }
  explicit operator bool() const { return ok(); }
  const T &operator*() const { return *value_; }
  T &operator*() { return *value_; }
  const T *operator->() const { return &*value_; }
  const QString &error() const { return error_; }

private:
  Result() = default;
  std::optional<T> value_;
  QString error_;
};

using Rows = std::vector<Row>;

class Database {
public:
  Database() = default;
  ~Database();
  Database(const Database &) = delete;
  Database &operator=(const Database &) = delete;

  // Creates a new empty library file with the three tables. Fails when the file exists.
  static bool createLibrary(const QString &path, QString *error);

  // Opens an existing library. A missing file, or a file that is not a usable library, fails
  // and is left exactly as it was.
  bool connectioncreat(const QString &path, QString *error = nullptr);
  // Closes the connection; harmless when it is not open.
  void connectionend();
  bool isOpen() const;
  // The library was opened for reading only (its folder can't be written).
  bool readOnly() const { return readOnly_; }

  // Runs a statement that returns rows; values bind to "?" in order.
  Result<Rows> query(const QString &sql, const QVariantList &values = {});
  // The first row of a query, or nullopt inside an ok result when there is none.
  Result<std::optional<Row>> queryOne(const QString &sql, const QVariantList &values = {});
  // Runs any other statement; gives the number of rows changed.
  Result<qint64> exec(const QString &sql, const QVariantList &values = {});
  // The id of the row the last INSERT on this connection added.
  qint64 lastInsertId();

  // Runs body inside one transaction: committed when body returns true, rolled back when it
  // returns false or the commit fails. Statements inside may be run from body only (other
  // threads wait for the transaction to end).
  bool transaction(const std::function<bool()> &body);

private:
  static constexpr std::size_t kMaxStatements = 200;
  // The prepared statement for a text (prepared now when new), or nullptr when it can't be.
  sqlite3_stmt *statement(const QString &sql);
  static void release(sqlite3_stmt *st);
  void clearStatements();

  sqlite3 *db_ = nullptr;
  std::unordered_map<QString, sqlite3_stmt *> statements_;
  bool readOnly_ = false;
  mutable QRecursiveMutex mutex_;
};

} // namespace inkwren
