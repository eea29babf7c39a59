// The regular-expression adapter: ECMAScript behaviour over GBK text.
#include "rules/regex.h"

#include "gbk.h"

#include <gtest/gtest.h>

#include <chrono>

namespace inkwren {
namespace {

using test::gbk;

struct MatchCase {
  const char *name;
  const char *pattern; // UTF-8 here, GBK when compiled
  const char *subject;
  const char *expected; // the match values joined by "|"; "" for no match
  friend void PrintTo(const MatchCase &c, std::ostream *os) { *os << c.name; }
};

QByteArray joined(const QList<RegexMatch> &matches) {
  QByteArrayList values;
  for (const RegexMatch &m : matches)
    values.append(m.value);
  return values.join('|');
}

class RegexMatchTable : public ::testing::TestWithParam<MatchCase> {};

TEST_P(RegexMatchTable, FindsExactlyTheseMatches) {
  const MatchCase &c = GetParam();
  Regex re(gbk(c.pattern));
  ASSERT_TRUE(re.valid()) << c.pattern << ": " << re.errorText().toStdString();
  EXPECT_EQ(joined(re.matchAll(gbk(c.subject))), gbk(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    EcmaScript, RegexMatchTable,
    ::testing::Values(
        MatchCase{"IgnoreCaseLatinInChinese", "第\\d+章ABC", "第1章abc，第2章AbC", "第1章abc|第2章AbC"},
        MatchCase{"GlobalStartsAfterPreviousMatch", "aa", "aaaaa", "aa|aa"},
        MatchCase{"DotStopsAtLineFeedOnly", "a.b", "a\nb a\rb", "a\rb"},
        MatchCase{"CaretOnlyAtStart", "^b", "a\nb", ""},
        MatchCase{"DollarOnlyAtEnd", "a$", "a\nba", "a"},
        MatchCase{"SpaceClassHasIdeographicAndNoBreakSpace", "x\\sy", "x　y x\u00a0y x\ty xy", "x　y|x\u00a0y|x\ty"},
        MatchCase{"NonSpaceClassExcludesThem", "\\S+", "甲　乙", "甲|乙"},
        MatchCase{"SpaceInsideClass", "[\\s,]+", "a　,b", "　,"},
        MatchCase{"NonSpaceInsideClass", "[\\S]+", "甲　乙", "甲|乙"},
        MatchCase{"NonSpaceOrOtherInsideClass", "[^\\S]+|[a\\S]", "甲　a", "甲|　|a"},
        MatchCase{"NegatedNonSpaceWithOther", "[^\\S\u3000]+", "甲　\t x", "\t "},
        MatchCase{"SpaceOrNonSpaceIsAnything", "a[\\s\\S]*?b", "a\n　b", "a\n　b"},
        MatchCase{"CaretInClassStaysLiteral", "[\\S^]", "^", "^"},
        MatchCase{"EmptyClassMatchesNothing", "a[]", "a", ""},
        MatchCase{"NegatedEmptyClassMatchesAnything", "a[^]b", "a\nb", "a\nb"},
        MatchCase{"UnicodeEscape", "\\u4e00+", "一一二", "一一"},
        MatchCase{"HexEscape", "\\x41", "a", "a"},
        MatchCase{"UnsetBackreferenceMatchesEmpty", "(a)?b\\1", "b", "b"},
        MatchCase{"IdentityEscapeOfLetter", "x\\Ay", "xay", "xay"},
        MatchCase{"VerticalTabEscape", "\\v", "a\vb", "\v"},
        MatchCase{"BracketInsideClassIsLiteral", "[[:]+", "a[:b", "[:"},
        MatchCase{"WordClassIsAscii", "\\w+", "ab中文cd", "ab|cd"},
        MatchCase{"EmptyMatchesEveryPosition", "x*", "ab", "||"},
        MatchCase{"ControlEscapeOfLetter", "a\\cJb", "a\nb acJb", "a\nb"},
        MatchCase{"ControlEscapeWithoutLetterIsLiteral", "a\\c\\\\Kb", "a\x1c" "b a\\c\\Kb",
                  "a\\c\\Kb"},
        MatchCase{"ControlEscapeBeforeDigitIsLiteral", "\\c1", "\x11 \\c1", "\\c1"},
        MatchCase{"ControlEscapeAtEndIsLiteral", "x\\c", "x\\c", "x\\c"},
        MatchCase{"ControlEscapeOfDigitInClass", "[\\c1]+", "\x11\x11q", "\x11\x11"},
        MatchCase{"LazyGroupsOverChinese", "<a href=\"(.*?)\">(.*?)</a>",
                  "<a href=\"1.html\">第一章</a><A HREF=\"2.html\">第二章</A>",
                  "<a href=\"1.html\">第一章</a>|<A HREF=\"2.html\">第二章</A>"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Regex, GroupsComeBackAsGbkAndUnsetGroupsEmpty) {
  Regex re(gbk("<a href=\"(.*?)\">(第(\\d+)章)?(.*?)</a>"));
  auto ms = re.matchAll(gbk("<a href=\"1.html\">第一章 开始</a><a href=\"2.html\">第2章终</a>"));
  ASSERT_EQ(ms.size(), 2);
  EXPECT_EQ(re.groupCount(), 4);
  EXPECT_EQ(ms[0].groups, (QByteArrayList{"1.html", "", "", gbk("第一章 开始")}));
  EXPECT_EQ(ms[1].groups, (QByteArrayList{"2.html", gbk("第2章"), "2", gbk("终")}));
  EXPECT_EQ(ms[1].group(3), "2");
  EXPECT_EQ(ms[1].group(9), "");
}

TEST(Regex, BytesOutsideMatchesSurvive) {
  // A stray byte that is no GBK character, and a character GBK lacks (GB18030 four bytes).
  const QByteArray subject = "a\x80" "b" + gbk("😀b");
  Regex re(QByteArrayView("b"));
  EXPECT_EQ(re.replaceAll(subject, "c"), "a\x80" "c" + gbk("😀c"));
  Regex group(gbk("(.)b$"));
  EXPECT_EQ(group.matchFirst(subject)->group(1), gbk("😀"));
}

TEST(Regex, EmptyMatchStepsOverSurrogatePair) {
  Regex re(QByteArrayView(""));
  EXPECT_EQ(re.matchAll(gbk("😀")).size(), 2);
  EXPECT_EQ(re.replaceAll(gbk("😀文"), "-"), gbk("-😀-文-"));
}

TEST(Regex, InvalidPatternFindsNothingAndChangesNothing) {
  for (const char *p : {"(", "a)", "[a", "a{2,1}", "\\"}) {
    Regex re(QByteArrayView{p});
    EXPECT_FALSE(re.valid()) << p;
    EXPECT_FALSE(re.errorText().isEmpty()) << p;
    EXPECT_TRUE(re.matchAll("a(b)").isEmpty()) << p;
    EXPECT_FALSE(re.matchFirst("a(b)")) << p;
    EXPECT_EQ(re.replaceAll("a(b)", "x"), "a(b)") << p;
  }
}

TEST(Regex, PcreOnlySyntaxCannotWidenLimits) {
  // In-pattern settings may only lower limits, and UCP can't be switched on.
  Regex ucp(QByteArrayView("(*UCP)\\w"));
  EXPECT_FALSE(ucp.valid());
}

TEST(Regex, RunawayBacktrackingEndsAsNoMatch) {
  Regex re(QByteArrayView("^(\\w+\\s?)+$"));
  ASSERT_TRUE(re.valid());
  QByteArray subject(40, 'a');
  subject += '!';
  // The walk reports that a limit ended it; the callers' searches then find nothing.
  EXPECT_FALSE(re.forEach(QString::fromLatin1(subject), [](const Regex::Spans &) { return true; }));
  EXPECT_TRUE(re.matchAll(subject).isEmpty());
  EXPECT_FALSE(re.matchFirst(subject));
  EXPECT_EQ(re.replaceAll(subject, "x"), subject);
  // The same pattern still works where it does not run away.
  EXPECT_EQ(re.matchAll("ab cd").size(), 1);
}

TEST(Regex, WholeWalkIsBounded) {
  // Each search backtracks a while at every run of "x" before "." matches: every single
  // search stays within the match limit, the walk as a whole would take minutes.
  QByteArray subject;
  for (int i = 0; i < 190; ++i)
    subject += QByteArray(20, 'x') + "-";
  Regex re(QByteArrayView("(?:(x+x+)+y|.)"));
  ASSERT_TRUE(re.valid());
  const auto before = Regex::walkTimeLimit();
  Regex::setWalkTimeLimit(std::chrono::milliseconds(100));
  // One search that backtracks at many start positions before it finds its match.
  Regex single(QByteArrayView("(x+x+)+y|$"));
  const bool walked = re.forEach(QString::fromLatin1(subject), [](const Regex::Spans &) { return true; });
  const bool searched = single.forEach(QString::fromLatin1(subject), [](const Regex::Spans &) { return true; });
  const QList<RegexMatch> all = re.matchAll(subject);
  const QByteArray replaced = re.replaceAll(subject, "z");
  Regex::setWalkTimeLimit(before);
  EXPECT_FALSE(walked);
  EXPECT_FALSE(searched);
  EXPECT_TRUE(all.isEmpty());
  EXPECT_EQ(replaced, subject);
  // Short enough, the same walk completes.
  EXPECT_EQ(re.matchAll(QByteArray(20, 'x') + "-").size(), 21);
}

TEST(Regex, LongLazyMatchesSucceed) {
  // Far past what a 32 KiB JIT stack (or std::regex) handles.
  QByteArray body;
  for (int i = 0; i < 60000; ++i)
    body += gbk("字x");
  Regex re(QByteArrayView("<p>(.*?)</p>"));
  auto m = re.matchFirst("<p>" + body + "</p><p>2</p>");
  ASSERT_TRUE(m);
  EXPECT_EQ(m->group(1), body);
}

} // namespace
} // namespace inkwren
