#pragma once
// Runs inkwren-cli on a data folder of the test's own ("home" in a temporary folder).
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace inkwren::test {

struct CliFixture : ::testing::Test {
  QTemporaryDir dir;
  QString home() { return dir.filePath(QStringLiteral("home")); }

  struct Output {
    int status; // the exit status, -1 when the program crashed or hung
    QString out, err;
  };
  Output cli(const QStringList &args) {
    QProcess p;
    p.start(QStringLiteral(INKWREN_CLI), QStringList{QStringLiteral("--home"), home()} + args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
  }
};

} // namespace inkwren::test
