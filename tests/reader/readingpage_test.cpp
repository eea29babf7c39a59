// Text to HTML and the template fill.
#include "reader/readingpage.h"

#include "core/codec.h"
#include "core/datafolder.h"

#include <gtest/gtest.h>

using namespace inkwren;

namespace {

const QByteArray kIndent = "&nbsp;&nbsp;&nbsp;&nbsp;";

TEST(Stohtml, Cases) {
  const struct {
    QByteArray text, html;
  } cases[] = {
      // Two lines, each ended by CR LF: every paragraph indented, a break after each.
      {"A\r\nB\r\n", kIndent + "A<br>" + kIndent + "B<br>" + kIndent},
      // A text beginning with a picture gets no leading indent; the check is case-sensitive.
      {"<img src=\"1\\2\\0.jpg\">\r\n", "<img src=\"1\\2\\0.jpg\"><br>" + kIndent},
      {"<IMG src=x>", kIndent + "<IMG src=x>"},
      // Four bytes or fewer, without line breaks: unchanged.
      {"", ""},
      {"abcd", "abcd"},
      {"abcde", kIndent + "abcde"},
      // A lone LF or CR is no line end; only CR LF is.
      {"a\nb\rc", kIndent + "a\nb\rc"},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(ReadingPage::stohtml(c.text), c.html) << c.text.toStdString();
    // The decoded form the reading page uses is the same text.
    EXPECT_EQ(ReadingPage::stohtmlText(c.text), QString::fromLatin1(c.html))
        << c.text.toStdString();
  }
}

TEST(Stohtml, GbkTextKeepsItsBytes) {
  // Two characters are four bytes: unchanged, as bytes decide.
  EXPECT_EQ(ReadingPage::stohtmlText(codec::encode(QStringLiteral("正文"))),
            QStringLiteral("正文"));
  const QByteArray gbk = codec::encode(QStringLiteral("第一章\r\n正文"));
  EXPECT_EQ(ReadingPage::stohtmlText(gbk), codec::decode(ReadingPage::stohtml(gbk)));
  EXPECT_EQ(codec::decode(ReadingPage::stohtml(gbk)),
            QString::fromLatin1(kIndent) + QStringLiteral("第一章<br>") +
                QString::fromLatin1(kIndent) + QStringLiteral("正文"));
}

TEST(ReadingPageFill, OnlyTheBodyIsFilled) {
  const QString page = QStringLiteral(
      "<html><head><title>[[title]]</title></head>\r\n"
      "<BODY class=\"x\">\r\n<h1>[[title]]</h1><p>[[content]]</p><i>[[title]]</i>\r\n</BODY>\r\n"
      "<!-- [[content]] --></html>");
  const QString filled =
      ReadingPage::fillPage(page, QStringLiteral("第1章 <b>"), QStringLiteral("<br>正文"));
  EXPECT_EQ(filled, QStringLiteral("<html><head><title>[[title]]</title></head>\r\n"
                                   "<BODY class=\"x\">\r\n<h1>第1章 <b></h1><p><br>正文</p>"
                                   "<i>第1章 <b></i>\r\n</BODY>\r\n<!-- [[content]] --></html>"));
}

TEST(ReadingPageFill, BodyLinesAreMadeCrLfAndPlaceholdersMatchExactCase) {
  EXPECT_EQ(ReadingPage::fillBody(QStringLiteral("a\n[[TITLE]][[title]]\r[[content]]"),
                                  QStringLiteral("T"), QStringLiteral("C\nD")),
            QStringLiteral("a\r\n[[TITLE]]T\r\nC\nD\r\n"));
  EXPECT_EQ(ReadingPage::fillBody(QString(), QStringLiteral("T"), QStringLiteral("C")), QString());
}

TEST(ReadingPageFill, AddressOfTheTemplateAndItsViewtype) {
  DataFolder folder(QStringLiteral("/data"));
  const QUrl url = ReadingPage::templateUrl(folder);
  EXPECT_EQ(url.toString(), QStringLiteral("file:///data/book/bank.html?viewtype=zjview"));
  EXPECT_EQ(url.toLocalFile(), QStringLiteral("/data/book/bank.html"));
  EXPECT_EQ(ReadingPage::viewtype(url), QStringLiteral("zjview"));
  EXPECT_EQ(ReadingPage::viewtype(QUrl(QStringLiteral("file:///d/bank.html?a=1&viewtype=next"))),
            QStringLiteral("next"));
  EXPECT_EQ(ReadingPage::viewtype(QUrl(QStringLiteral("file:///d/bank.html"))), QString());
}

} // namespace
