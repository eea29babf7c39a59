#pragma once
// Pages of the main window and the masks that say which toolbar buttons each page shows. A
// button's tag is a five-digit number beginning with 1; it is visible on a page with mask m when
// the decimal digit of its tag at m's place is not 0.
namespace inkwren {

enum Page : int { NoPage = 0, ShelfPage = 1, RankingsPage = 2, UpdatesPage = 3, ReadingPage = 4 };

constexpr int pageMask(int page) {
  switch (page) {
  case ShelfPage:
    return 1000;
  case RankingsPage:
    return 100;
  case UpdatesPage:
    return 10;
  case ReadingPage:
    return 1;
  default:
    return 0;
  }
}

constexpr bool visibleOnPage(int tag, int mask) {
  return mask > 0 && tag % (10 * mask) >= mask;
}

} // namespace inkwren
