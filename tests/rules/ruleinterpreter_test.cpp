// Rule expressions: commands, templates, entity decoding, and the address helpers.
#include "rules/ruleinterpreter.h"

#include "core/codec.h"
#include "core/settings.h"
#include "rules/fetchcontext.h"
#include "rules/fetcher.h"
#include "rules/urlparams.h"
#include "rules/webpath.h"

#include "gbk.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace inkwren {
namespace {

using test::gbk;

class Rules : public ::testing::Test {
protected:
  Rules()
      : settings_(QStringLiteral("/nonexistent/config/set.ini")), fetcher_(settings_, webpath_) {
    settings_.newset();
  }
  QByteArray run(const char *rule, const QByteArray &input) {
    return interp_.guizstr(input, gbk(rule));
  }

  Settings settings_;
  WebPath webpath_;
  Fetcher fetcher_;
  RuleInterpreter interp_{fetcher_};
};

struct RuleCase {
  const char *name;
  const char *rule; // UTF-8; GBK when run
  const char *input;
  const char *expected;
  friend void PrintTo(const RuleCase &c, std::ostream *os) { *os << c.name; }
};

class RuleTable : public Rules, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(RuleTable, GivesExpectedText) {
  const RuleCase &c = GetParam();
  EXPECT_EQ(run(c.rule, gbk(c.input)), gbk(c.expected)) << c.rule;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, RuleTable,
    ::testing::Values(
        RuleCase{"CutKeepsBothMarkers", "{{1}}<div id=content>{{t}}</div>",
                 "a<div id=content>text</div>b</div>", "<div id=content>text</div>"},
        RuleCase{"CutWithMissingStartKeepsBeginning", "{{1}}<nope>{{t}}</div>",
                 "abc</div>def</div>", "abc</div>"},
        RuleCase{"CutWithMissingEndKeepsEnd", "{{1}}<b>{{t}}<nope>", "a<b>c", "<b>c"},
        RuleCase{"CutIsCaseSensitive", "{{1}}<B>{{t}}", "a<b>c", "a<b>c"},
        RuleCase{"ReplaceByLineBreak", "{{2}}<br />{{t}}#13#10", "一<br />二<br />",
                 "一\r\n二\r\n"},
        RuleCase{"ReplaceEmptyOldTextChangesNothing", "{{2}}{{t}}x", "abc", "abc"},
        RuleCase{"ReplaceIsCaseSensitive", "{{2}}<BR>{{t}}|", "a<br>b<BR>", "a<br>b|"},
        RuleCase{"RegexRemovesOpeningLinks", "{{3}}<a[^>]*>{{t}}",
                 "<a href=x>一</a><A class=y>二</a>", "一</a>二</a>"},
        RuleCase{"RegexTemplateBrackets", "{{3}}<b>(.*?)</b>{{t}}[$1]", "<b>甲</b>和<B>乙</B>",
                 "[甲]和[乙]"},
        RuleCase{"RegexSameValueReplacedAgain", "{{3}}(a){{t}}$1$1", "a-a", "aaaa-aaaa"},
        RuleCase{"RegexGrowthWithinBound", "{{3}}(a){{t}}$1$1", "aaaa",
                 "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"},
        RuleCase{"RegexTemplateWithMissingGroup", "{{3}}<b>(.*?)</b>{{t}}$1$2", "<b>x</b>", "x$2"},
        RuleCase{"RegexDollarZeroStays", "{{3}}<b>(.*?)</b>{{t}}$0", "<b>x</b>", "$0"},
        RuleCase{"RegexInvalidPatternKeepsText", "{{3}}(unclosed{{t}}x", "(unclosed", "(unclosed"},
        RuleCase{"UnknownCodeChangesNothing", "{{9}}a{{t}}b", "abc", "abc"},
        RuleCase{"UpperCaseSeparator", "{{2}}a{{T}}b", "aa", "bb"},
        RuleCase{"LineWithoutSeparatorSkipped", "comment {{2}} a to b\r\n{{2}}a{{t}}b", "a", "b"},
        RuleCase{"TextBeforeFirstBracesIgnored", "note: {{2}}a{{t}}b", "a", "b"},
        RuleCase{"LinesInOrderAnyBreaks", "{{2}}a{{t}}b\n\n{{2}}b{{t}}c\r{{2}}c{{t}}d", "a", "d"},
        RuleCase{"SecondArgumentRunsToLineEnd", "{{2}}a{{t}}{{t}}b", "a", "{{t}}b"},
        RuleCase{"EntitiesCommand", "{{0}}4{{t}}", "&#20320;&#22909;", "你好"},
        RuleCase{"UnknownSelectorChangesNothing", "{{0}}9{{t}}", "你好", "你好"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Rules, RegexReplacementGrowthIsBounded) {
  // Every match of "a" doubles every "a" of the output: 2^n times the text for n matches.
  const struct {
    const char *rule;
    QByteArray input;
  } cases[] = {
      {"{{3}}(a){{t}}$1$1", QByteArray(20, 'a')},
      {"{{3}}(a){{t}}$1$1", QByteArray(18, 'a')},
      {"{{3}}(a)(b)?{{t}}$1$2$1", QByteArray(22, 'a') + "-b"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(run(c.rule, c.input), c.input) << c.rule << " over " << c.input.size();
  // The command after it still runs on the unchanged text.
  EXPECT_EQ(run("{{3}}(a){{t}}$1$1\r\n{{2}}a{{t}}b", QByteArray(20, 'a')), QByteArray(20, 'b'));
}

TEST_F(Rules, EmptyRuleReturnsTextUnchanged) {
  EXPECT_EQ(interp_.guizstr(QByteArray("a\x80z"), QByteArray()), "a\x80z");
}

TEST_F(Rules, Utf8Conversions) {
  const QByteArray utf8 = QString::fromUtf8("你好😀").toUtf8();
  EXPECT_EQ(run("{{0}}0{{t}}", gbk("你好😀")), utf8);
  EXPECT_EQ(run("{{0}}3{{t}}", gbk("你好😀")), utf8);
  EXPECT_EQ(run("{{0}}1{{t}}", utf8), gbk("你好😀"));
  EXPECT_EQ(run("{{0}}2{{t}}", utf8), gbk("你好😀"));
  // GBK is no UTF-8; a truncated sequence at the end empties it too.
  EXPECT_EQ(run("{{0}}2{{t}}", gbk("你好")), "");
  EXPECT_EQ(run("{{0}}1{{t}}", utf8.chopped(1)), "");
  // Later commands work on the empty text.
  EXPECT_EQ(run("{{0}}1{{t}}\r\n{{2}}{{t}}x\r\n{{1}}a{{t}}b", gbk("你好")), "");
}

TEST_F(Rules, APageReadAsUtf8AtOnceGivesWhatTheRoundTripGives) {
  // The page straight from its bytes against the page decoded as GBK first, as it always was.
  const QByteArray utf8 = QString::fromUtf8("<p>你好😀</p>").toUtf8();
  const QByteArray cases[][2] = {
      {utf8, "{{0}}1{{t}}\r\n{{1}}<p>{{t}}</p>"},
      {utf8, "\r\n{{0}}2{{t}}"},                   // blank lines first
      {utf8.chopped(2), "{{0}}1{{t}}"},            // cut off inside a character: nothing
      {gbk("你好"), "{{0}}1{{t}}\r\n{{2}}{{t}}x"}, // GBK is no UTF-8
      {gbk("你好"), "{{2}}你{{t}}您"},             // no conversion first: read as GBK
      {"\xff\xfe<b>", "{{1}}<b>{{t}}"},            // bytes no codec takes
  };
  for (const auto &c : cases) {
    EXPECT_EQ(interp_.guizstrPage(c[0], c[1]),
              interp_.guizstr(codec::decode(c[0]), codec::decode(c[1])))
        << c[1].constData();
    EXPECT_EQ(interp_.guizstr(c[0], c[1]),
              codec::encode(interp_.guizstr(codec::decode(c[0]), codec::decode(c[1]))));
  }
}

TEST_F(Rules, PlainSearchesNeverHitSecondByteOfCharacter) {
  // 乤 is 81 60 and 乣 is 81 61 in GBK: byte-wise searches for "`" or "a" would split them.
  EXPECT_EQ(run("{{2}}a{{t}}b", gbk("乣a")), gbk("乣b"));
  EXPECT_EQ(run("{{1}}`{{t}}", gbk("乤x`y")), "`y");
}

TEST_F(Rules, WebpathIsSubstitutedInArgumentsAndTemplates) {
  webpath_.set("http://site.example/book/");
  EXPECT_EQ(run("{{2}}X{{t}}[webpath]", "X1"), "http://site.example/book/1");
  EXPECT_EQ(run("{{3}}src=(\\w+){{t}}[webpath]$1.jpg", "src=a"), "http://site.example/book/a.jpg");
  EXPECT_EQ(run("{{1}}[webpath]{{t}}", "x http://site.example/book/y"),
            "http://site.example/book/y");
}

TEST_F(Rules, TemplateExpansionCountsDownFromGroupCount) {
  QStringList twelve;
  for (int k = 1; k <= 12; ++k)
    twelve.append(QStringLiteral("g%1").arg(k));
  EXPECT_EQ(interp_.regsp(QStringLiteral("$12|$1"), twelve), QStringLiteral("g12|g1"));
  // With fewer groups "$12" is group 1 followed by the digit 2.
  EXPECT_EQ(interp_.regsp(QStringLiteral("$12|$2"), twelve.mid(0, 2)), QStringLiteral("g12|g2"));
  webpath_.set("http://s/d/");
  RegexMatch m{"x", {"1.html", gbk("第一章")}};
  EXPECT_EQ(interp_.regsp(QByteArray("[webpath]$1#$2"), m), gbk("http://s/d/1.html#第一章"));
}

TEST_F(Rules, HcsTurnsCodesIntoLineBreaks) {
  EXPECT_EQ(RuleInterpreter::hcs(QStringLiteral("a#13#10b#10#13")), QStringLiteral("a\r\nb\n\r"));
  EXPECT_EQ(RuleInterpreter::hcs(QStringLiteral("#1310")), QStringLiteral("\r10"));
}

struct EntityCase {
  const char *name;
  const char *input;
  const char *expected;
  friend void PrintTo(const EntityCase &c, std::ostream *os) { *os << c.name; }
};

class EntityTable : public ::testing::TestWithParam<EntityCase> {};

TEST_P(EntityTable, Decodes) {
  std::optional<QByteArray> out = RuleInterpreter::sun(gbk(GetParam().input));
  ASSERT_TRUE(out);
  EXPECT_EQ(*out, gbk(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Sun, EntityTable,
    ::testing::Values(EntityCase{"Decimal", "&#20320;&#22909;", "你好"},
                      EntityCase{"Repeated", "&#12288;&#12288;正文&#12288;", "　　正文　"},
                      EntityCase{"Quotes", "&ldquo;你&rdquo;&LDQUO;", "“你”&LDQUO;"},
                      EntityCase{"HexEntityStays", "&#x4e00;&#65;", "&#x4e00;A"},
                      EntityCase{"ExpressionIsJavaScript", "&#0x41;&#65,66;", "AAB"},
                      EntityCase{"LeadingZeroIsOctal", "&#0101;&#089;", "AY"},
                      EntityCase{"WrapsAt65536", "&#65601;", "A"},
                      EntityCase{"LoneSurrogateBecomesQuestionMark", "&#55357;", "?"},
                      EntityCase{"FoundBeforeReplacing", "&#38;#65;", "&#65;"},
                      EntityCase{"DecodedTextFormsEntity", "&#1&#59;&#1;", "\x01\x01"},
                      EntityCase{"TooLongStays", "&#123456;", "&#123456;"}),
    [](const auto &info) { return std::string(info.param.name); });

struct DirCase {
  const char *address;
  const char *directory;
};

TEST(Getup, DirectoryOfAddress) {
  const DirCase cases[] = {
      {"http://site.example/book/12/3.html", "http://site.example/book/12/"},
      {"http://site.example/book/12/", "http://site.example/book/12/"},
      {"http://site.example", "http://"},
      {"c:\\books\\a.txt", "c:/books/"},
      {"plain", ""},
  };
  for (const DirCase &c : cases)
    EXPECT_EQ(WebPath::getup(c.address), QByteArray(c.directory)) << c.address;
  // A GBK character whose second byte is 0x5C is no backslash.
  EXPECT_EQ(WebPath::getup(gbk("http://s/书/乗x")), gbk("http://s/书/"));
}

TEST(UrlParams, QueryParameter) {
  const struct {
    const char *address, *name, *value;
  } cases[] = {
      {"about:blank?viewtype=next&x=1", "viewtype", "next"},
      {"about:blank?viewtype=next&x=1", "x", "1"},
      {"about:blank?a=1&viewtype=last", "viewtype", "last"},
      {"about:blank?xviewtype=1", "viewtype", ""},
      {"about:blank?v=a%20b", "v", "a%20b"},
      {"about:blank", "v", ""},
  };
  for (const auto &c : cases)
    EXPECT_EQ(UrlParams::geturlcans(QString::fromUtf8(c.address), QString::fromUtf8(c.name)),
              QString::fromUtf8(c.value))
        << c.address << " " << c.name;
}

TEST(UrlParams, BracketParameter) {
  const struct {
    const char *address, *name, *value;
  } cases[] = {
      {"about:blank?[act/addbook][bookname/a%20b]", "bookname", "a b"},
      {"about:blank?[act/addbook][bookname/a%20b]", "act", "addbook"},
      {"about:blank?[t/$@x@$]", "t", "[x]"},
      {"about:blank?[t/open", "t", "open"},
      {"about:blank?[act/x]", "bookname", ""},
  };
  for (const auto &c : cases)
    EXPECT_EQ(UrlParams::geturlcansx(QString::fromUtf8(c.address), QString::fromUtf8(c.name)),
              QString::fromUtf8(c.value))
        << c.address << " " << c.name;
  EXPECT_EQ(UrlParams::geturlcansx(gbk("about:blank?[书名/三%20体]"), gbk("书名")), gbk("三 体"));
}

TEST(FetchContexts, ConcurrentExpressionsEachSeeTheirOwnPageDirectory) {
  // Each job expands "[webpath]" (and evaluates entities, each call with its own script engine)
  // through a fetch context of its own while the others change theirs: a result is always built
  // from its own job's directory.
  Settings settings(QStringLiteral("/nonexistent/config/set.ini"));
  std::atomic<int> bad{0};
  std::vector<std::thread> jobs;
  for (int t = 0; t < 4; ++t) {
    jobs.emplace_back([&, t] {
      FetchContext context(settings);
      for (int i = 0; i < 60; ++i) {
        const QByteArray dir =
            "http://site" + QByteArray::number(t) + ".example/" + QByteArray::number(i) + "/";
        context.webpath.set(dir);
        QByteArray out = context.interpreter.guizstr(
            gbk("<a href=\"3.html\">第三章</a>&#20320;&#0x41;"),
            gbk("{{3}}<a href=\"(.*?)\">(.*?)</a>{{t}}[webpath]$1|$2\r\n{{0}}4{{t}}"));
        if (out != dir + gbk("3.html|第三章你A"))
          ++bad;
      }
    });
  }
  for (std::thread &j : jobs)
    j.join();
  EXPECT_EQ(bad.load(), 0);
}

} // namespace
} // namespace inkwren
