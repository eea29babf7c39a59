// The window tests: one QApplication for the whole program, then GoogleTest.
#include <QApplication>
#include <gtest/gtest.h>

#include <unistd.h>

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt WebEngine refuses to start its sandbox as root; the tests run without it.
  if (geteuid() == 0)
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
