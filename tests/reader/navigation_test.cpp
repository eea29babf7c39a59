// Navigation targets in a chapter list.
#include "reader/navigation.h"

#include <gtest/gtest.h>

using namespace inkwren;

namespace {

TEST(Getzjlt, Targets) {
  const std::vector<bool> rows{false, true, false, true}; // rows 1 and 3 unread
  const std::vector<bool> allRead{false, false};
  const std::optional<int> none;
  const struct {
    const std::vector<bool> &rows;
    std::optional<int> selected;
    const char *target;
    std::optional<int> expected;
  } cases[] = {
      {rows, 2, "first", 0},     {rows, 2, "end", 3},      {rows, 2, "noread", 1},
      {rows, 1, "next", 2},      {rows, 3, "next", 3},    // the last row stays
      {rows, 2, "last", 1},      {rows, 0, "last", 0},    // the first row stays
      {rows, 2, "other", none},  {rows, none, "next", 0}, // nothing selected: the first row
      {rows, none, "last", 0},   {rows, none, "other", 0}, {allRead, 0, "noread", none},
      {{}, none, "first", none}, {{}, none, "end", none},  {{}, none, "next", none},
  };
  for (const auto &c : cases)
    EXPECT_EQ(getzjlt(c.rows, c.selected, QString::fromLatin1(c.target)), c.expected)
        << c.target << " from " << c.selected.value_or(-1);
}

} // namespace
