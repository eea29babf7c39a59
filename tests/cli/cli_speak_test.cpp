// inkwren-cli speak and voices: a chapter cleaned and spoken into a WAV file with its word
// events; the voice list; wrong arguments.
#include "cli_fixture.h"
#include "core/codec.h"

#include <QFile>

namespace {

struct CliSpeak : inkwren::test::CliFixture {
  QString wav() { return dir.filePath(QStringLiteral("out.wav")); }
  void addChapter(const QString &text) {
    ASSERT_EQ(cli({"add", "http://x.example/1/", "--name", "书一"}).status, 0);
    const QString src = dir.filePath(QStringLiteral("第一章.txt"));
    QFile f(src);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(inkwren::codec::encode(text));
    f.close();
    ASSERT_EQ(cli({"import", "1", src}).out, "1\n");
  }
};

TEST_F(CliSpeak, SpeaksTheCleanedChapterWithWordsInOrder) {
  addChapter(QStringLiteral("\u3000\u3000今天天气很好。\r\n\r\n\r\n我们  去公园\t散步。"));
  const Output spoken = cli({"speak", "1", "1", "--wav", wav()});
  ASSERT_EQ(spoken.status, 0) << spoken.err.toStdString();

  QFile f(wav());
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray bytes = f.readAll();
  ASSERT_GT(bytes.size(), 44 + 22050); // header and half a second at least
  EXPECT_EQ(bytes.left(4), "RIFF");
  EXPECT_EQ(bytes.mid(8, 8), "WAVEfmt ");
  EXPECT_EQ(bytes.mid(36, 4), "data");

  // The text spoken is the cleaned one: no wide spaces, tab or empty line, one blank.
  const QString cleaned = QStringLiteral("今天天气很好。\r\n我们 去公园散步。\r\n");
  const QStringList lines = spoken.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_GE(lines.size(), 3);
  int last = -1;
  for (const QString &line : lines) {
    const QStringList f = line.split(QLatin1Char('\t'));
    ASSERT_EQ(f.size(), 4) << line.toStdString();
    const int position = f[0].toInt(), length = f[1].toInt();
    EXPECT_GT(position, last);
    last = position;
    EXPECT_EQ(cleaned.mid(position, length), f[3]);
    // The caption position: the GBK bytes before the word, line breaks not counted.
    EXPECT_EQ(f[2].toInt(),
              inkwren::codec::encode(cleaned.left(position).remove(QStringLiteral("\r\n"))).size());
  }
  EXPECT_EQ(lines.front().section(QLatin1Char('\t'), 0, 0), "0");
}

TEST_F(CliSpeak, VoicesAndRefusals) {
  const Output voices = cli({"voices"});
  ASSERT_EQ(voices.status, 0) << voices.err.toStdString();
  EXPECT_TRUE(voices.out.contains(QStringLiteral("(cmn)"))) << voices.out.toStdString();
  EXPECT_TRUE(voices.out.contains(QStringLiteral("(yue)")));
  EXPECT_TRUE(voices.out.startsWith(QStringLiteral("0\t")));

  addChapter(QStringLiteral("正文。"));
  struct Case {
    QStringList args;
    int status;
  } cases[] = {
      {{"speak", "1", "1"}, 2}, // no --wav
      {{"speak", "1", "1", "--wav", wav(), "--voice", "99999"}, 2},
      {{"speak", "1", "1", "--wav", wav(), "--rate", "11"}, 2},
      {{"speak", "1", "1", "--wav", wav(), "--rate", "x"}, 2},
      {{"speak", "1", "7", "--wav", wav()}, 1}, // no such chapter
      {{"speak", "1", "1", "--wav", dir.filePath("no/such/dir/a.wav")}, 1},
  };
  for (const Case &c : cases)
    EXPECT_EQ(cli(c.args).status, c.status) << c.args.join(' ').toStdString();
  EXPECT_FALSE(QFile::exists(wav()));
  EXPECT_EQ(cli({"speak", "1", "1", "--wav", wav(), "--voice", "0", "--rate", "-10"}).status, 0);
}

} // namespace
