#include "pg_cluster.h"

#include <QDir>
#include <QProcess>

#include <algorithm>

#include <pwd.h>
#include <unistd.h>

namespace inkwren::test {

namespace {

QString binDir() {
  QDir root("/usr/lib/postgresql");
  QStringList versions = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  std::sort(versions.begin(), versions.end(),
            [](const QString &a, const QString &b) { return a.toInt() > b.toInt(); });
  for (const QString &v : versions) {
    const QString bin = root.filePath(v + "/bin");
    if (QFile::exists(bin + "/initdb") && QFile::exists(bin + "/pg_ctl") &&
        QFile::exists(bin + "/psql"))
      return bin;
  }
  return {};
}

} // namespace

bool PgCluster::available() {
  return !binDir().isEmpty();
}

QString PgCluster::socketDir() const {
  return m_dir ? m_dir->path() : QString();
}

bool PgCluster::runTool(const QString &tool, const QStringList &args, QString *output) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  const QString program = binDir() + "/" + tool;
  if (geteuid() == 0)
    p.start("runuser", QStringList{"-u", "nobody", "--", program} + args);
  else
    p.start(program, args);
  if (!p.waitForFinished(120000)) {
    p.kill();
    p.waitForFinished();
    return false;
  }
  const QString out = QString::fromLocal8Bit(p.readAll());
  if (output)
    *output = out;
  return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool PgCluster::start(QString *why) {
  if (!available()) {
    *why = "PostgreSQL server binaries are not installed";
    return false;
  }
  m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/iwpg-XXXXXX");
  if (!m_dir->isValid()) {
    *why = "no temporary folder";
    return false;
  }
  if (geteuid() == 0) {
    const passwd *nobody = getpwnam("nobody");
    if (!nobody ||
        chown(m_dir->path().toLocal8Bit().constData(), nobody->pw_uid, nobody->pw_gid) != 0) {
      *why = "cannot hand the cluster folder to the user nobody";
      return false;
    }
  }
  const QString data = m_dir->path() + "/data";
  QString out;
  if (!runTool(
          "initdb",
          {"-D", data, "-U", "inkwren", "-A", "trust", "-E", "UTF8", "--no-sync", "--locale=C"},
          &out)) {
    *why = "initdb failed: " + out;
    return false;
  }
  m_options = "-k " + m_dir->path() +
              " -c listen_addresses='' -c fsync=off -c synchronous_commit=off"
              " -c full_page_writes=off -c max_connections=300";
  if (!runTool(
          "pg_ctl",
          {"-D", data, "-o", m_options, "-l", m_dir->path() + "/log", "-w", "-t", "60", "start"},
          &out)) {
    *why = "pg_ctl start failed: " + out;
    return false;
  }
  m_running = true;
  return true;
}

QString PgCluster::createDatabase(const QString &name) {
  if (!m_running)
    return {};
  if (!runTool("psql", {"-h", m_dir->path(), "-U", "inkwren", "-d", "postgres", "-q", "-c",
                        "CREATE DATABASE " + name}))
    return {};
  return "host=" + m_dir->path() + " dbname=" + name + " user=inkwren";
}

bool PgCluster::restart() {
  if (!m_running)
    return false;
  const QString data = m_dir->path() + "/data";
  return runTool("pg_ctl", {"-D", data, "-m", "immediate", "-w", "stop"}) &&
         runTool("pg_ctl", {"-D", data, "-o", m_options, "-l", m_dir->path() + "/log", "-w", "-t",
                            "60", "start"});
}

PgCluster::~PgCluster() {
  if (m_running)
    runTool("pg_ctl", {"-D", m_dir->path() + "/data", "-m", "immediate", "-w", "stop"});
}

} // namespace inkwren::test
