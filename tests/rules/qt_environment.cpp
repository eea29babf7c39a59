// The application object the engine needs for script evaluation, made once for the whole test
// program. Its thread (the test thread) counts as the main thread.
#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

class QtEnvironment : public ::testing::Environment {
public:
  void SetUp() override { app_ = new QCoreApplication(argc_, argv_); }
  void TearDown() override {
    delete app_;
    app_ = nullptr;
  }

private:
  int argc_ = 1;
  char name_[16] = "test_rules";
  char *argv_[2] = {name_, nullptr};
  QCoreApplication *app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment *const kQt =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace
