#pragma once
// The service's one store: accounts, network shelves, search-site lists, published files,
// advertisements and skins. SQLite in the data folder by default, PostgreSQL when a connection
// string is given; every statement is the same for both and takes its values bound.
//
// Threads: any thread may call any operation; each thread gets its own connection, made on
// first use. With SQLite the writes of this process are serialised by a lock so that they never
// wait inside SQLite; PostgreSQL handles concurrent writers (also from other processes) itself.
#include <QList>
#include <QMutex>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <utility>

namespace inkwren::server {

struct ShelfBook {
  QString bookname, authorname, booktype, downurl;
  bool operator==(const ShelfBook &) const = default;
};

struct Publication {
  QString stamp;    // the stamp a client holds when it has this file ("0" is never one)
  QString filename; // plain name in the files folder; empty for the version
};

struct Advert {
  qint64 id = 0;
  QString text, url;
};

struct Skin {
  QString filename, displayname, picture;
};

struct RankedNovel {
  qint64 id = 0;
  QString bookname, authorname;
  qint64 readers = 0;
};

struct NovelDetail {
  RankedNovel novel;
  QString booktype, downurl;
};

class Storage {
public:
  enum class Engine { SQLite, PostgreSQL };

  // SQLite in the file dbPath; or PostgreSQL when pgConnection (libpq style "key=value ...":
  // host, port, dbname, user, password; other keys go to the driver's options) is not empty.
  Storage(QString dbPath, QString pgConnection);
  ~Storage();
  Storage(const Storage &) = delete;
  Storage &operator=(const Storage &) = delete;

  // Connects and creates the tables that are missing. False with *error set on failure.
  bool open(QString *error);
  Engine engine() const { return m_engine; }

  // Accounts.
  std::optional<QString> passwordHash(const QString &user);
  bool addUser(const QString &user, const QString &hash);         // false when the name is taken
  bool setPasswordHash(const QString &user, const QString &hash); // false for an unknown user

  // Network shelves, in their order.
  std::optional<QList<ShelfBook>> shelf(const QString &user);
  // Appends books not already on the shelf with the same name, author and address.
  bool appendBooks(const QString &user, const QList<ShelfBook> &books);
  bool replaceShelf(const QString &user, const QList<ShelfBook> &books);
  bool clearShelf(const QString &user);

  // Search-site lists.
  bool saveSearchSet(const QString &user, const QString &text);
  std::optional<QString> searchSet(const QString &user);

  // Published files and the current version ("rules", "updater", "version").
  std::optional<Publication> publication(const QString &kind);
  bool setPublication(const QString &kind, const Publication &p);
  // The stamp the next publication of any kind gets: 1, 2, 3, …
  std::optional<qint64> nextStamp();

  // Advertisements in their order.
  std::optional<QList<Advert>> adverts();
  bool addAdvert(const QString &text, const QString &url);
  bool removeAdvert(qint64 id);

  // Skins, newest first.
  std::optional<QList<Skin>> skins();
  bool addSkin(const Skin &skin);
  bool removeSkin(const QString &filename);

  // Rankings from the shelves: readers are distinct users shelving a novel (name and author).
  std::optional<QList<RankedNovel>> mostShelved(int limit, const QString &category = {});
  std::optional<QList<RankedNovel>> newestNovels(int limit);
  std::optional<QStringList> topCategories(int limit);
  std::optional<NovelDetail> novel(qint64 id);

private:
  // A statement that ran; false when it failed. Going out of scope resets it for reuse.
  class Stmt {
  public:
    Stmt(QSqlQuery *q, std::unique_ptr<QSqlQuery> owned) : m_owned(std::move(owned)), m_q(q) {}
    Stmt(Stmt &&o) noexcept : m_owned(std::move(o.m_owned)), m_q(std::exchange(o.m_q, nullptr)) {}
    Stmt &operator=(Stmt &&) = delete;
    ~Stmt();
    explicit operator bool() const { return m_q != nullptr; }
    bool has_value() const { return m_q != nullptr; }
    QSqlQuery *operator->() const { return m_q; }

  private:
    std::unique_ptr<QSqlQuery> m_owned;
    QSqlQuery *m_q;
  };

  Stmt run(QSqlDatabase &db, const QString &sql, std::initializer_list<QVariant> values = {});
  QSqlDatabase connection();
  bool insertBooks(QSqlDatabase &db, const QString &user, const QList<ShelfBook> &books,
                   qint64 firstPos);

  QString m_dbPath;
  QString m_pgConnection;
  Engine m_engine;
  QString m_prefix; // connection names of this store: prefix + thread id
  QMutex m_namesLock;
  QStringList m_names;
  std::map<QString, std::map<QString, std::unique_ptr<QSqlQuery>>> m_statements; // by connection
  QMutex m_writeLock;                                                            // SQLite only
};

} // namespace inkwren::server
