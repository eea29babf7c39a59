#pragma once
// The chapter list's "选择" and "标记" commands worked out on the list's rows (in list order):
// which rows become selected, and which chapters a marking changes. The list widget applies the
// outcome to its items; ChapterStore stores the marks. "The selected row" of a command is the
// first selected row. Pure functions, any thread.
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace inkwren {

struct ChapterMark {
  QString id;      // zhangjieid
  bool read = false; // the row's picture: read (5) or unread (4)
  QString volume;  // fenjuanname
  bool selected = false;
};

// The "选择" commands: 全选, 反选, 选择所有已读章节, 选择所有未读章节, 选择此章以上所有章节,
// 选择本分卷所有章节. All but Invert add to the selection.
enum class ChapterPick { All, Invert, Read, Unread, Above, Volume };
void pickChapters(std::vector<ChapterMark> &rows, ChapterPick pick);

// The marking modes of mulubiaoj: 0 selected read, 1 selected unread, 2 the rows above the
// selected one read, 3 every chapter of the book read, 4 every chapter unread.
struct MarkPlan {
  bool read = false;
  bool wholeBook = false;         // modes 3 and 4: all rows of the book, filtered ones too
  QStringList ids;                // the chapters to store (modes 0 to 2)
  std::vector<std::size_t> rows;  // the list rows whose picture changes
};
// nullopt when the mode needs a selected row and there is none, or mode 2 finds no row above.
std::optional<MarkPlan> markPlan(const std::vector<ChapterMark> &rows, int mode);

} // namespace inkwren
