// inkwren-cli page: the reading page as the view gets it, and the read mark.
#include "cli_fixture.h"
#include "core/codec.h"

#include <QFile>

namespace {

struct CliReader : inkwren::test::CliFixture {};

TEST_F(CliReader, PrintsTheFilledPageAndMarksTheChapterReadOnce) {
  ASSERT_EQ(cli({"add", "http://x.example/1/", "--name", "书一"}).status, 0);
  const QString src = dir.filePath(QStringLiteral("第一章.txt"));
  {
    QFile f(src);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(inkwren::codec::encode(QStringLiteral("甲\r\n<img src=\"1\\1\\0.jpg\">\r\n")));
  }
  ASSERT_EQ(cli({"import", "1", src}).status, 0);
  // A placeholder outside the body stays as it is.
  {
    QFile t(home() + QStringLiteral("/book/bank.html"));
    ASSERT_TRUE(t.open(QIODevice::WriteOnly));
    t.write(inkwren::codec::encode(
        QStringLiteral("<html><head><title>[[title]]</title></head>\r\n<body><h1>[[title]]</h1>"
                       "[[content]]</body></html>\r\n")));
  }
  EXPECT_TRUE(cli({"list"}).out.endsWith(QStringLiteral("\t1\n"))); // one unread chapter

  const Output page = cli({"page", "1", "1"});
  ASSERT_EQ(page.status, 0) << page.err.toStdString();
  EXPECT_EQ(page.out,
            QStringLiteral("<html><head><title>[[title]]</title></head>\r\n<body><h1>第一章"
                           "</h1>&nbsp;&nbsp;&nbsp;&nbsp;甲<br>&nbsp;&nbsp;&nbsp;&nbsp;"
                           "<img src=\"1\\1\\0.jpg\"><br>&nbsp;&nbsp;&nbsp;&nbsp;\r\n"
                           "</body></html>\r\n"));
  EXPECT_TRUE(cli({"list"}).out.endsWith(QStringLiteral("\t0\n")));
  // Read again: nothing changes.
  EXPECT_EQ(cli({"page", "1", "1"}).out, page.out);
  EXPECT_TRUE(cli({"list"}).out.endsWith(QStringLiteral("\t0\n")));

  const Output noBook = cli({"page", "9", "1"});
  EXPECT_EQ(noBook.status, 1);
  EXPECT_TRUE(noBook.err.contains(QLatin1String("9")));
  const Output noChapter = cli({"page", "1", "7"});
  EXPECT_EQ(noChapter.status, 1);
  EXPECT_TRUE(noChapter.err.contains(QLatin1String("7")));
  EXPECT_TRUE(noChapter.out.isEmpty());
  EXPECT_EQ(cli({"page", "1"}).status, 2);
}

} // namespace
