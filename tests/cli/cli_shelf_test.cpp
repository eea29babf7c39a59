// inkwren-cli list, export and import on a data folder of their own.
#include "cli_fixture.h"
#include "core/codec.h"

#include <QFile>

namespace {

struct CliShelf : inkwren::test::CliFixture {
  QByteArray read(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }
  void write(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
};

TEST_F(CliShelf, ListImportAndExport) {
  ASSERT_EQ(cli({"add", "http://x.example/1/", "--name", "书一", "--category", "玄幻"}).status, 0);
  ASSERT_EQ(cli({"add", "http://x.example/2/", "--name", "书二", "--category", "都市"}).status, 0);

  const QString src = dir.filePath(QStringLiteral("第一章.part.txt"));
  write(src, inkwren::codec::encode(QStringLiteral("正文一行")));
  Output imported = cli({"import", "1", src});
  ASSERT_EQ(imported.status, 0) << imported.err.toStdString();
  EXPECT_EQ(imported.out, "1\n");

  Output listed = cli({"list"});
  ASSERT_EQ(listed.status, 0);
  EXPECT_EQ(listed.out, QStringLiteral("category\t1\t玄幻\nbook\t1\t书一\t1\n"
                                       "category\t2\t都市\nbook\t2\t书二\t0\n"));

  const QString out = dir.filePath(QStringLiteral("book"));
  Output exported = cli({"export", "1", out});
  ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
  EXPECT_EQ(exported.out, out + ".txt\n");
  EXPECT_EQ(read(out + ".txt"), inkwren::codec::encode(QStringLiteral(" 第一章\r\n\r\n正文一行\r\n\r\n\r\n")));

  // No questions: an existing file stays unless --force.
  write(out + ".txt", "old");
  EXPECT_EQ(cli({"export", "1", out + ".txt"}).status, 1);
  EXPECT_EQ(read(out + ".txt"), "old");
  EXPECT_EQ(cli({"export", "1", out + ".txt", "--force"}).status, 0);
  EXPECT_NE(read(out + ".txt"), "old");

  EXPECT_EQ(cli({"import", "9", src}).status, 1);
  EXPECT_EQ(cli({"import", "1", dir.filePath("missing.txt")}).status, 1);
  EXPECT_EQ(cli({"export", "x", out}).status, 2);
}

} // namespace
