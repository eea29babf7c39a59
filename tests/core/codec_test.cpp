#include "core/codec.h"

#include "support/size_limit.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace inkwren;

TEST(Codec, GbkTextRoundTripsAndKeepsItsBytes) {
  // "第一章 天下" in GBK.
  const QByteArray gbk("\xB5\xDA\xD2\xBB\xD5\xC2 \xCC\xEC\xCF\xC2");
  EXPECT_EQ(codec::decode(gbk), QStringLiteral("第一章 天下"));
  EXPECT_EQ(codec::encode(QStringLiteral("第一章 天下")), gbk);
}

TEST(Codec, CharactersGbkLacksSurvive) {
  // A no-break space, an emoji and an ideograph outside GBK come back instead of becoming "?".
  const QString text = QStringLiteral("a\u00A0b 😀 𠀀");
  QByteArray bytes = codec::encode(text);
  EXPECT_FALSE(bytes.contains('?'));
  EXPECT_EQ(codec::decode(bytes), text);
}

TEST(Codec, ArbitraryBytesRoundTripThroughDecoding) {
  const QByteArray cases[] = {
      QByteArray("\xFF\x80\x81", 3),                  // never valid
      QByteArray("\xB5", 1),                          // cut-off two-byte sequence
      QByteArray("\xE4\xB8\xAD\xE6\x96\x87", 6),      // UTF-8 "中文" read as raw bytes
      QByteArray("\x81\x30\x41\x42", 4),              // broken four-byte sequence
      QByteArray("ok\x84\x31\xA4\x39" "end", 9),         // a valid four-byte sequence in the middle
      QByteArray("\xEF\xA3\xBF\xFE", 4),
  };
  for (const QByteArray &b : cases)
    EXPECT_EQ(codec::encode(codec::decode(b)), b) << b.toHex().constData();
}

TEST(Codec, EveryTwoByteSequenceRoundTrips) {
  QByteArray all;
  for (int lead = 0x81; lead <= 0xFE; ++lead)
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      all += char(lead);
      all += char(trail);
      all += ' ';
    }
  EXPECT_EQ(codec::encode(codec::decode(all)), all);
}

TEST(Codec, FourByteSequenceDecodingIntoTheEscapeRangeStaysRaw) {
  // The four-byte code of U+F780 would otherwise read back as the single byte 0x80.
  QByteArray fourByte = codec::encode(QString(QChar(char16_t(0xF6FF)))); // neighbour, real char
  EXPECT_EQ(codec::decode(fourByte), QString(QChar(char16_t(0xF6FF))));
  QByteArray raw;
  for (int a = 0x81; a <= 0x84; ++a)
    for (int b = 0x30; b <= 0x39; ++b)
      for (int c = 0x81; c <= 0xFE; c += 7)
        for (int d = 0x30; d <= 0x39; d += 3) {
          raw += char(a);
          raw += char(b);
          raw += char(c);
          raw += char(d);
        }
  EXPECT_EQ(codec::encode(codec::decode(raw)), raw);
}

TEST(Codec, StrictUtf8) {
  EXPECT_EQ(codec::decodeUtf8Strict("\xE4\xB8\xAD\xE6\x96\x87"), QStringLiteral("中文"));
  EXPECT_FALSE(codec::decodeUtf8Strict("\xE4\xB8").has_value());
  EXPECT_FALSE(codec::decodeUtf8Strict("a\xFF").has_value());
  EXPECT_EQ(codec::decodeUtf8Strict(""), QString());
}

TEST(Codec, LinesAreJoinedWithCrLf) {
  struct Case {
    const char *in, *out;
  } cases[] = {
      {"", ""},
      {"abc", "abc\r\n"},
      {"abc\r\n", "abc\r\n"},
      {"a\nb", "a\r\nb\r\n"},
      {"a\rb\r", "a\r\nb\r\n"},
      {"a\n\nb", "a\r\n\r\nb\r\n"},
      {"a\r\n\r\nb", "a\r\n\r\nb\r\n"},
      {"a\n\rb", "a\r\n\r\nb\r\n"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(codec::joinLinesCrLf(c.in), QByteArray(c.out)) << c.in;
}

TEST(Codec, TextFilesAreWrittenAsGbkLinesAndReadBack) {
  QTemporaryDir dir;
  QString path = dir.filePath(QStringLiteral("a.txt"));
  ASSERT_TRUE(codec::writeLines(path, QStringView(QStringLiteral("第一行\n第二行"))));
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), codec::encode(QStringLiteral("第一行\r\n第二行\r\n")));
  EXPECT_EQ(codec::decode(codec::readtxt(path)), QStringLiteral("第一行\r\n第二行\r\n"));
  EXPECT_TRUE(codec::readtxt(dir.filePath(QStringLiteral("missing.txt"))).isEmpty());
  EXPECT_FALSE(codec::writeLines(dir.filePath(QStringLiteral("no/such/dir.txt")), QStringView(u"x")));
}

namespace {

QByteArray bytesOf(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(Codec, FailedWriteKeepsTheOldFile) {
  // A file size limit makes the writes fail as a full disk does; the limit of 100 bytes lets
  // the first part of a small file through, so only a complete check catches the rest.
  const struct {
    const char *name;
    long limit;
    qsizetype size;
  } cases[] = {
      {"NothingFits", 0, 2000},
      {"SmallFileCutShort", 100, 2000},
      {"LargeFileCutShort", 1000, 300000},
  };
  for (const auto &c : cases) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("set.ini"));
    ASSERT_TRUE(codec::writeFileAtomic(path, "old contents\r\n"));
    const QByteArray next(c.size, 'n');
    EXPECT_EQ(test::underFileSizeLimit(c.limit, [&] { return codec::writeFileAtomic(path, next); }),
              false)
        << c.name;
    EXPECT_EQ(test::underFileSizeLimit(c.limit, [&] { return codec::writeLines(path, next); }),
              false)
        << c.name;
    EXPECT_EQ(bytesOf(path), "old contents\r\n") << c.name;
    // Nothing is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"set.ini"})
        << c.name;
    // Within the limit the same write goes through.
    EXPECT_EQ(
        test::underFileSizeLimit(c.size + 10, [&] { return codec::writeFileAtomic(path, next); }),
        true)
        << c.name;
    EXPECT_EQ(bytesOf(path), next) << c.name;
  }
}

TEST(Codec, AtomicWriteKeepsPermissionsAndLinks) {
  QTemporaryDir dir;
  const QString real = dir.filePath(QStringLiteral("real.txt"));
  const QString link = dir.filePath(QStringLiteral("link.txt"));
  ASSERT_TRUE(codec::writeFileAtomic(real, "one"));
  ASSERT_TRUE(QFile::setPermissions(real, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
  ASSERT_TRUE(QFile::link(real, link));
  ASSERT_TRUE(codec::writeFileAtomic(link, "two"));
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  EXPECT_EQ(bytesOf(real), "two");
  struct stat st;
  ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // A folder in the file's place is no file to replace.
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder")));
  EXPECT_FALSE(codec::writeFileAtomic(dir.filePath(QStringLiteral("folder")), "x"));
}

TEST(Codec, PrivateUseCharactersSurvive) {
  // Private-use characters whose old two-byte codes now stand for other characters: each keeps
  // a four-byte code of its own and reads back as itself.
  const struct {
    char16_t unit;
    const char *bytes;
  } cases[] = {
      {0xE78D, "\x84\x31\x82\x36"}, {0xE78E, "\x84\x31\x82\x38"}, {0xE796, "\x84\x31\x83\x35"},
      {0xE81E, "\x82\x35\x90\x37"}, {0xE864, "\x82\x35\x91\x34"}, {0xE816, "\x95\x32\x90\x31"},
      {0xE855, "\x96\x35\xB6\x30"},
  };
  for (const auto &c : cases) {
    const QString text = QStringLiteral("a") + QChar(c.unit) + QStringLiteral("第");
    const QByteArray expected = "a" + QByteArray(c.bytes, 4) + "\xB5\xDA";
    EXPECT_EQ(codec::encode(text), expected) << std::hex << int(c.unit);
    EXPECT_EQ(codec::decode(expected), text) << std::hex << int(c.unit);
  }
  // All of them, in one text, in both directions.
  QString all;
  for (char16_t u = 0xE000; u <= 0xF8FF; ++u)
    if (u < codec::kEscapeBase || u > codec::kEscapeBase + 0x7F)
      all += QChar(u);
  const QByteArray bytes = codec::encode(all);
  EXPECT_FALSE(bytes.contains('?'));
  EXPECT_EQ(codec::decode(bytes), all);
  // The two-byte codes read as the characters they stand for now, and bytes round-trip.
  EXPECT_EQ(codec::decode("\xA6\xD9"), QString(QChar(char16_t(0xFE10))));
  EXPECT_EQ(codec::decode("\xFE\x51"), QString::fromUcs4(U"\U00020087"));
  for (const char *b : {"\xA6\xD9", "\xFE\x51", "\xFE\x59", "\x95\x32\x90\x31", "\x84\x31\x82\x36"})
    EXPECT_EQ(codec::encode(codec::decode(b)), QByteArray(b)) << QByteArray(b).toHex().constData();
}
