#pragma once
// The program's object graph on a temporary data folder, with fake messages. Window tests build
// their windows on top of it; the library is opened on request.
#include "core/database.h"
#include "core/datafolder.h"
#include "core/services.h"
#include "core/settings.h"
#include "fakes.h"
#include "shelf/ui/shelfwiring.h"
#include "shell/appcontext.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace inkwren::test {

struct DataFixture : ::testing::Test {
  QTemporaryDir dir;
  FakeMessages messages;
  AppContext app{dir.path(), messages, QStringLiteral("http://127.0.0.1:9/")};
  DataFolder &folder = app.folder;
  Settings &settings = app.settings;
  Database &db = app.db;
  Services &services = app.services;

  void SetUp() override {
    for (const char *sub : {"config", "db", "book"})
      QDir(dir.path()).mkpath(QLatin1String(sub));
  }
  // Creates the empty library and opens it.
  void openLibrary() {
    const QString path = folder.path(QStringLiteral("db/book.dat"));
    ASSERT_TRUE(Database::createLibrary(path, nullptr));
    ASSERT_TRUE(app.openLibrary());
  }
  // The shelf's part of the graph, as the program hands it to the shelf's windows.
  ShelfModel shelfModel() {
    return {app.current, app.shelf, app.chapters, app.files, AppContext::entityDecoder()};
  }
  std::function<bool()> updateRunning() {
    return [this] { return app.updates.running(); };
  }
};

} // namespace inkwren::test
