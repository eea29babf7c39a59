// Cleaning text for speaking and mapping the engine's positions onto the caption's text.
#include "core/codec.h"
#include "speech/speechtext.h"

#include <gtest/gtest.h>

using namespace inkwren;

namespace {

QByteArray gbk(const char16_t *text) {
  return codec::encode(QStringView(text));
}

TEST(Getmarkstr, BlanksTabsWideSpacesAndEmptyLines) {
  struct Case {
    const char16_t *in, *out;
  } cases[] = {
      {u"a  b", u"a b"},                                      // two blanks: one
      {u"a    b", u"a  b"},                                   // four blanks: two (one pass)
      {u"a   b", u"a  b"},                                    // three: the pair, then the odd one
      {u"a\tb\t", u"ab"},                                     // tabs dropped
      {u"\u3000\u3000第一章\u3000正文", u"第一章正文"},       // ideographic spaces dropped
      {u"甲\r\n\r\n乙", u"甲\r\n乙"},                         // an empty line vanishes
      {u"甲\r\n\r\n\r\n\r\n\r\n乙\r\n\r\n", u"甲\r\n乙\r\n"}, // many, and at the end
      {u"甲\r\n\u3000\u3000\r\n乙", u"甲\r\n乙"},             // a line of wide spaces becomes empty
      {u"甲\r\n \t \r\n乙", u"甲\r\n  \r\n乙"},               // tab between blanks: two blanks stay
      {u"", u""},
  };
  for (const Case &c : cases)
    EXPECT_EQ(codec::decode(getmarkstr(gbk(c.in))), QString::fromUtf16(c.out))
        << QString::fromUtf16(c.in).toStdString();
}

TEST(Getmarkstr, LeavesOtherBytesAlone) {
  // GBK bytes whose halves look like ASCII, and an undecodable byte, survive untouched.
  const QByteArray text = QByteArray("\x81\x40  \x95\x5c\xff", 7);
  EXPECT_EQ(getmarkstr(text), QByteArray("\x81\x40 \x95\x5c\xff", 6));
}

TEST(SpeakableText, AnyLineBreaksBecomeCrLfAndEmptyLinesGo) {
  EXPECT_EQ(speakableText(gbk(u"甲\n\n乙\r\r丙\t\n")), gbk(u"甲\r\n乙\r\n丙\r\n"));
  EXPECT_EQ(speakableText(""), QByteArray());
}

TEST(Getlenxx, EnginePositionToCaptionPosition) {
  struct Case {
    const char16_t *text;
    int n, expected;
  } cases[] = {
      {u"中文", 2, 4}, // two double-byte characters
      {u"中文", 1, 2},
      {u"ab\r\n", 4, 2}, // line breaks count nothing
      {u"ab\r\n中", 5, 4},
      {u"中文", 9, 4}, // beyond the end: the whole text
      {u"中文", 0, 0},
      {u"中文", -3, 0},
      {u"", 5, 0},
      // Mixed text: each character counts its own bytes, so the position after "中a" is 3.
      {u"中a文", 2, 3},
      {u"a中b文", 3, 4},
      {u"\U00020000x", 3, 5}, // a four-byte character (two UTF-16 units), then x
  };
  for (const Case &c : cases)
    EXPECT_EQ(getlenxx(gbk(c.text), c.n), c.expected)
        << QString::fromUtf16(c.text).toStdString() << " n=" << c.n;
}

} // namespace
