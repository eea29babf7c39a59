#pragma once
// A temporary data folder with the services of a run around it: settings, a library (opened on
// request), fake messages. Window tests build their windows on top of it.
#include "core/database.h"
#include "core/datafolder.h"
#include "core/services.h"
#include "core/settings.h"
#include "fakes.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace inkwren::test {

struct DataFixture : ::testing::Test {
  QTemporaryDir dir;
  DataFolder folder{dir.path()};
  Settings settings{dir.filePath(QStringLiteral("config/set.ini"))};
  Database db;
  FakeMessages messages;
  Services services{folder, settings, db, messages, QStringLiteral("http://127.0.0.1:9/")};

  void SetUp() override {
    for (const char *sub : {"config", "db", "book"})
      QDir(dir.path()).mkpath(QLatin1String(sub));
  }
  // Creates the empty library and opens it.
  void openLibrary() {
    const QString path = folder.path(QStringLiteral("db/book.dat"));
    ASSERT_TRUE(Database::createLibrary(path, nullptr));
    ASSERT_TRUE(db.connectioncreat(path));
  }
};

} // namespace inkwren::test
