#include "core/codec.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

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
