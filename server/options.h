#pragma once
// The command line of inkwren-server.
//
//   inkwren-server [--listen ADDRESS] [--port N] [--data FOLDER] [--database CONNECTION]
//                  [--cert FILE --key FILE] [--public-url URL] [--threads N]
//                  [--max-body BYTES] [--max-books N] [--timeout SECONDS] [--no-register]
//   inkwren-server admin [--data FOLDER] [--database CONNECTION] COMMAND ARGS…
//
// Thread-safe (pure functions).
#include "httpfront.h"
#include "service.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace inkwren::server {

struct ServerOptions {
  QString dataDir;  // SQLite database and the files folder
  QString database; // PostgreSQL connection string; empty: SQLite in dataDir
  HttpOptions http;
  ServiceLimits limits;
  bool admin = false;
  QStringList adminArgs;

  QString sqlitePath() const { return dataDir + "/inkwren.db"; }
  QString filesDir() const { return dataDir + "/files"; }
};

// args without the program name. nullopt with *error set on a bad command line.
std::optional<ServerOptions> parseOptions(const QStringList &args, QString *error);
QString usage();

} // namespace inkwren::server
