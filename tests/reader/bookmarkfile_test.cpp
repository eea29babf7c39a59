// The bookmark file of a book.
#include "reader/bookmarkfile.h"

#include "core/datafolder.h"
#include "shelf/chapterfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace inkwren;

namespace {

struct BookmarkFileTest : ::testing::Test {
  QTemporaryDir dir;
  DataFolder folder{dir.path()};
  ChapterFiles files{folder};

  void SetUp() override { QDir(dir.path()).mkpath(QStringLiteral("book/7")); }
  void write(const QByteArray &bytes) {
    QFile f(files.bookmarkFile(QStringLiteral("7")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  QByteArray read(const QString &bookId = QStringLiteral("7")) {
    QFile f(files.bookmarkFile(bookId));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }
};

TEST_F(BookmarkFileTest, LineBreaksAndEmptyRecordsMeanNothing) {
  const struct {
    QByteArray file;
    QStringList ids;
  } cases[] = {
      {"<bm>3</bm><bm>1</bm><bm>2</bm>", {"3", "1", "2"}},
      {"<bm>3</bm>\r\n\r\n<bm>1</bm>\r\n\n<bm>2</bm>\r\n", {"3", "1", "2"}},
      {"<bm></bm><bm>3</bm>\r\n<bm></bm>\r\n", {"3"}},
      {"<bm>1\r\n2</bm>", {"12"}}, // a record broken over two lines is still one record
      {"<bm>5</bm>\r\n<bm>5</bm>\r\n", {"5", "5"}}, // duplicates written by hand
      {"", {}},
  };
  for (const auto &c : cases) {
    write(c.file);
    EXPECT_EQ(BookmarkFile(files, QStringLiteral("7")).ids(), c.ids) << c.file.toStdString();
  }
  QFile::remove(files.bookmarkFile(QStringLiteral("7")));
  EXPECT_TRUE(BookmarkFile(files, QStringLiteral("7")).ids().isEmpty());
}

TEST_F(BookmarkFileTest, AddingKeepsOneRecordPerChapterOnLinesOfTheirOwn) {
  BookmarkFile bookmarks(files, QStringLiteral("7"));
  EXPECT_TRUE(bookmarks.add(QStringLiteral("3")));
  EXPECT_TRUE(bookmarks.add(QStringLiteral("1")));
  EXPECT_FALSE(bookmarks.add(QStringLiteral("3")));
  EXPECT_EQ(read(), "<bm>3</bm>\r\n<bm>1</bm>\r\n");

  // Records written on one line by hand come out one per line; "13" is not "3".
  write("<bm>13</bm><bm>2</bm>");
  EXPECT_TRUE(bookmarks.add(QStringLiteral("3")));
  EXPECT_EQ(read(), "<bm>13</bm>\r\n<bm>2</bm>\r\n<bm>3</bm>\r\n");
}

TEST_F(BookmarkFileTest, DeletingRemovesEveryRecordOfTheChapter) {
  write("<bm>5</bm>\r\n<bm>6</bm><bm>5</bm>\r\n\r\n<bm>5</bm>");
  BookmarkFile bookmarks(files, QStringLiteral("7"));
  EXPECT_TRUE(bookmarks.remove(QStringLiteral("5")));
  EXPECT_EQ(read(), "<bm>6</bm>\r\n");
  EXPECT_TRUE(bookmarks.remove(QStringLiteral("6")));
  EXPECT_EQ(read(), "");
}

TEST_F(BookmarkFileTest, ABookWithoutAFolderStillKeepsItsBookmark) {
  BookmarkFile bookmarks(files, QStringLiteral("8"));
  EXPECT_TRUE(bookmarks.add(QStringLiteral("1")));
  EXPECT_EQ(read(QStringLiteral("8")), "<bm>1</bm>\r\n");
}

} // namespace
