// The encoded search key: ECMAScript encodeURI, or the text itself where that can't be had.
#include "search/encodestr.h"

#include <gtest/gtest.h>

using namespace inkwren;

TEST(Encodestr, AsEncodeUriGivesIt) {
  struct Case {
    QString in, out;
  } cases[] = {
      {QStringLiteral("你好"), QStringLiteral("%E4%BD%A0%E5%A5%BD")},
      {QStringLiteral("abcXYZ019"), QStringLiteral("abcXYZ019")},
      {QStringLiteral(";,/?:@&=+$-_.!~*()#"), QStringLiteral(";,/?:@&=+$-_.!~*()#")},
      {QStringLiteral("a b%\"<>\\[]{}|^`"),
       QStringLiteral("a%20b%25%22%3C%3E%5C%5B%5D%7B%7D%7C%5E%60")},
      {QStringLiteral("星海 2"), QStringLiteral("%E6%98%9F%E6%B5%B7%202")},
      {QString::fromUcs4(U"\U00020000"), QStringLiteral("%F0%A0%80%80")},
      {QStringLiteral("é"), QStringLiteral("%C3%A9")},
      {QString(), QString()},
  };
  for (const Case &c : cases)
    EXPECT_EQ(encodestr(c.in), c.out) << c.in.toStdString();
}

TEST(Encodestr, TextThatCantBeEncodedStaysAsItIs) {
  const QString lone = QStringLiteral("你") + QChar(char16_t(0xD800)) + QStringLiteral("好");
  for (const QString &in :
       {QStringLiteral("你'好"), QStringLiteral("O'Brien"), QStringLiteral("一\n二"), lone})
    EXPECT_EQ(encodestr(in), in);
}
