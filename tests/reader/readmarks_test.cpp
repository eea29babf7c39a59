// Read marks: the library's read state and the book's unread count on the shelf.
#include "reader/readmarks.h"

#include "shelf/bookshelf.h"
#include "shelf/chapterstore.h"
#include "shelf/currentbook.h"
#include "shelf/shelf_fixture.h"

using namespace inkwren;
using namespace inkwren::test;

namespace {

struct ReadMarksTest : ShelfFixture {
  CurrentBook current;
  Bookshelf shelf{services, current};
  ChapterStore chapters{db};
  ReadMarks marks{chapters, shelf};

  int count(const QString &bookId) { return shelf.getbn(bookId)->noreadcount; }
  int readstate(const QString &bookId, const QString &chapterId) {
    return chapters.chapter(bookId, chapterId)->readstate;
  }
};

TEST_F(ReadMarksTest, AnUnreadChapterLowersTheCountOnceAReadOneChangesNothing) {
  const QString t = category(QStringLiteral("T"), 1);
  const QString open = book(t, QStringLiteral("在读"), 1),
                other = book(t, QStringLiteral("别的"), 2);
  const QString a = chapter(open, QStringLiteral("a"), 1),
                b = chapter(open, QStringLiteral("b"), 2);
  const QString read = chapter(open, QStringLiteral("r"), 3, 1);
  const QString o = chapter(other, QStringLiteral("o"), 1);
  shelf.drawbookpanel();
  current.set(open, QStringLiteral("在读"));
  ASSERT_EQ(count(open), 2);

  EXPECT_TRUE(marks.zjrschange(open, a, 1));
  EXPECT_EQ(readstate(open, a), 1);
  EXPECT_EQ(count(open), 1);
  EXPECT_EQ(bookLabel(*shelf.getbn(open)), QStringLiteral("在读(1)"));
  // Shown again, and a chapter that was read already: nothing changes.
  EXPECT_FALSE(marks.zjrschange(open, a, 1));
  EXPECT_FALSE(marks.zjrschange(open, read, 1));
  EXPECT_EQ(count(open), 1);
  // A chapter that is no longer in the library leaves the count alone.
  EXPECT_FALSE(marks.zjrschange(open, QStringLiteral("999"), 1));
  EXPECT_EQ(count(open), 1);
  EXPECT_EQ(readstate(open, b), 0);

  // A book other than the open one gets its count through its own node.
  EXPECT_TRUE(marks.zjrschange(other, o, 1));
  EXPECT_EQ(count(other), 0);
  EXPECT_EQ(bookLabel(*shelf.getbn(other)), QStringLiteral("别的"));
  EXPECT_EQ(count(open), 1);

  // Unread again: the count goes back up.
  EXPECT_TRUE(marks.zjrschange(open, a, 0));
  EXPECT_EQ(count(open), 2);
}

TEST_F(ReadMarksTest, TheCountNeverGoesBelowZero) {
  const QString t = category(QStringLiteral("T"), 1);
  const QString bk = book(t, QStringLiteral("书"), 1);
  shelf.drawbookpanel();
  marks.zjrschangeview(bk, 1);
  EXPECT_EQ(count(bk), 0);
  marks.zjrschangeview(QStringLiteral("404"), 1); // no such book: nothing
}

} // namespace
