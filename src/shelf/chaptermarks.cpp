#include "shelf/chaptermarks.h"

namespace inkwren {
namespace {

std::optional<std::size_t> firstSelected(const std::vector<ChapterMark> &rows) {
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].selected)
      return i;
  return std::nullopt;
}

} // namespace

void pickChapters(std::vector<ChapterMark> &rows, ChapterPick pick) {
  const auto anchor = firstSelected(rows);
  const QString volume = anchor ? rows[*anchor].volume : QString();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    ChapterMark &r = rows[i];
    switch (pick) {
    case ChapterPick::All:
      r.selected = true;
      break;
    case ChapterPick::Invert:
      r.selected = !r.selected;
      break;
    case ChapterPick::Read:
      r.selected = r.selected || r.read;
      break;
    case ChapterPick::Unread:
      r.selected = r.selected || !r.read;
      break;
    case ChapterPick::Above:
      r.selected = r.selected || (anchor && i <= *anchor);
      break;
    case ChapterPick::Volume:
      r.selected = r.selected || (anchor && r.volume == volume);
      break;
    }
  }
}

std::optional<MarkPlan> markPlan(const std::vector<ChapterMark> &rows, int mode) {
  MarkPlan plan;
  plan.read = mode == 0 || mode == 2 || mode == 3;
  const auto anchor = firstSelected(rows);
  switch (mode) {
  case 0:
  case 1:
    if (!anchor)
      return std::nullopt;
    for (std::size_t i = 0; i < rows.size(); ++i)
      if (rows[i].selected) {
        plan.rows.push_back(i);
        plan.ids << rows[i].id;
      }
    return plan;
  case 2:
    if (!anchor || *anchor == 0)
      return std::nullopt;
    for (std::size_t i = 0; i < *anchor; ++i) {
      plan.rows.push_back(i);
      plan.ids << rows[i].id;
    }
    return plan;
  case 3:
  case 4:
    plan.wholeBook = true;
    for (std::size_t i = 0; i < rows.size(); ++i)
      plan.rows.push_back(i);
    return plan;
  default:
    return std::nullopt;
  }
}

} // namespace inkwren
