#include "options.h"

#include <QDir>
#include <QStandardPaths>

namespace inkwren::server {

QString usage() {
  return "usage: inkwren-server [--listen ADDRESS] [--port N] [--data FOLDER]\n"
         "                      [--database \"host=… dbname=… user=…\"] [--cert FILE --key FILE]\n"
         "                      [--public-url URL] [--threads N] [--max-body BYTES]\n"
         "                      [--max-books N] [--timeout SECONDS] [--no-register]\n"
         "       inkwren-server admin [--data FOLDER] [--database CONNECTION] COMMAND …\n"
         "commands: adduser NAME | passwd NAME | publish-rules FILE | set-version VERSION |\n"
         "          keygen SECRETFILE PUBLICFILE |\n"
         "          publish-updater FILE (--sign SECRETFILE | --signature SIGFILE) |\n"
         "          add-advert TEXT URL | list-adverts | remove-advert ID |\n"
         "          add-skin FILE NAME [PICTURE] | list-skins | remove-skin FILENAME\n"
         "passwords are read from INKWREN_PASSWORD or the first line of standard input\n";
}

std::optional<ServerOptions> parseOptions(const QStringList &args, QString *error) {
  ServerOptions o;
  o.dataDir =
      QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/inkwren-server";
  qsizetype i = 0;
  if (!args.isEmpty() && args[0] == "admin") {
    o.admin = true;
    i = 1;
  }
  const auto number = [&](const QString &text, qint64 min, qint64 max) -> std::optional<qint64> {
    bool ok = false;
    const qint64 v = text.toLongLong(&ok);
    if (!ok || v < min || v > max)
      return std::nullopt;
    return v;
  };
  for (; i < args.size(); ++i) {
    const QString a = args[i];
    if (o.admin && !a.startsWith("--")) {
      o.adminArgs = args.mid(i);
      break;
    }
    if (a == "--no-register") {
      o.limits.registration = false;
      continue;
    }
    if (a == "--help" || a == "-h") {
      *error = usage();
      return std::nullopt;
    }
    if (i + 1 >= args.size()) {
      *error = "missing value after " + a;
      return std::nullopt;
    }
    const QString v = args[++i];
    std::optional<qint64> n;
    if (a == "--listen") {
      o.http.listen = v;
    } else if (a == "--port" && (n = number(v, 0, 65535))) {
      o.http.port = int(*n);
    } else if (a == "--data") {
      o.dataDir = QDir(v).absolutePath();
    } else if (a == "--database") {
      o.database = v;
    } else if (a == "--cert") {
      o.http.certFile = v;
    } else if (a == "--key") {
      o.http.keyFile = v;
    } else if (a == "--public-url") {
      o.limits.publicUrl = v;
    } else if (a == "--threads" && (n = number(v, 1, 1024))) {
      o.http.threads = int(*n);
    } else if (a == "--max-body" && (n = number(v, 1024, qint64(1) << 32))) {
      o.http.maxBody = *n;
    } else if (a == "--max-books" && (n = number(v, 1, 1000000))) {
      o.limits.maxBooks = int(*n);
    } else if (a == "--timeout" && (n = number(v, 1, 3600))) {
      o.http.timeoutSeconds = int(*n);
    } else {
      *error = "bad option: " + a + " " + v;
      return std::nullopt;
    }
  }
  if (o.http.certFile.isEmpty() != o.http.keyFile.isEmpty()) {
    *error = "HTTPS needs both --cert and --key";
    return std::nullopt;
  }
  if (o.admin && o.adminArgs.isEmpty()) {
    *error = usage();
    return std::nullopt;
  }
  return o;
}

} // namespace inkwren::server
