#pragma once
// Where the chapter navigation goes in a list of chapters: "first", "end" (last row),
// "noread" (first unread row), "next", "last" (previous row). Pure function, any thread.
#include <QString>

#include <optional>
#include <vector>

namespace inkwren {

// The rows of a list from the top: true for an unread chapter (picture 4). selected is the
// index of the list's first selected row, if any. Gives the target row, or none:
//  - "first" / "end": the first / last row;
//  - "noread": the first unread row;
//  - with a selected row i: "next" i + 1 (the last row stays), "last" i - 1 (the first stays),
//    any other text none;
//  - with no selected row: the first row.
std::optional<int> getzjlt(const std::vector<bool> &unread, std::optional<int> selected,
                           const QString &target);

} // namespace inkwren
