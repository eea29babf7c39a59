// The rule file container, site keys, rule lookup and the refresh from the service.
#include "rules/ruleset.h"

#include "core/codec.h"
#include "rules/rulefile.h"

#include "gbk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace inkwren {
namespace {

using test::gbk;

QByteArray le32(qint32 v) {
  const auto u = quint32(v);
  const char b[4] = {char(u & 0xFF), char(u >> 8 & 0xFF), char(u >> 16 & 0xFF), char(u >> 24 & 0xFF)};
  return QByteArray(b, 4);
}

// A <dw> record with the given key and fields (missing fields empty).
QByteArray dw(const QByteArray &key, QByteArrayList fields) {
  while (fields.size() < 11)
    fields.append(QByteArray());
  QByteArray r = "<dw><wk>" + key + "</wk>";
  for (int n = 0; n <= 10; ++n)
    r += "<s" + QByteArray::number(n) + ">" + fields[n] + "</s" + QByteArray::number(n) + ">";
  return r + "</dw>";
}

TEST(RuleFile, RecordsAndBrokenContainers) {
  const QByteArray two = RuleFile::build({"zero", "one"});
  const struct {
    const char *name;
    QByteArray image;
    int n;
    std::optional<QByteArray> record;
  } cases[] = {
      {"first", two, 0, QByteArray("zero")},
      {"second", two, 1, QByteArray("one")},
      {"beyond", two, 2, std::nullopt},
      {"emptyRecord", RuleFile::build({"zero", ""}), 1, QByteArray("")},
      {"onlyRecordZero", RuleFile::build({"zero"}), 1, std::nullopt},
      {"lengthPastEnd", le32(4) + "zero" + le32(100) + "one", 1, std::nullopt},
      {"negativeLength", le32(-8) + "zero" + le32(3) + "one", 1, std::nullopt},
      {"negativeLengthOfWanted", le32(4) + "zero" + le32(-1), 1, std::nullopt},
      {"hugeLength", le32(0x7FFFFFFF) + "z", 0, std::nullopt},
      {"truncatedPrefix", le32(4) + "zero" + QByteArray("\x03\x00", 2), 1, std::nullopt},
      {"emptyFile", QByteArray(), 0, std::nullopt},
      {"negativeIndex", two, -1, std::nullopt},
  };
  for (const auto &c : cases)
    EXPECT_EQ(RuleFile::record(c.image, c.n), c.record) << c.name;
}

TEST(RuleFile, RecordReadAsTextFileLines) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("bookset.dat"));
  ASSERT_TRUE(codec::writeFileAtomic(path, RuleFile::build({"sites", "a\nb\rc\r\nd", "carried"})));
  EXPECT_EQ(RuleFile::getsetstr(path, 1), "a\r\nb\r\nc\r\nd\r\n");
  EXPECT_EQ(RuleFile::getsetstr(path, 0), "sites\r\n");
  EXPECT_EQ(RuleFile::getsetstr(path, 3), "");
  EXPECT_EQ(RuleFile::getsetstr(dir.filePath(QStringLiteral("missing.dat")), 0), "");
}

TEST(RuleSet, SiteKeys) {
  const struct {
    const char *address, *key;
  } cases[] = {
      {"HTTP://WWW.Site.example/book/12/index.html", ".site.example"},
      {"http://site.example/book/12/", ".site.example"},
      {"http://book.site.example/12/", ".book.site.example"},
      {"https://www.site.example", ".site.example"},
      {"site.example\\book\\1.html", "site.example"},
      {"http://www2.site.example/", ".2.site.example"},
      {"http://localhost:8080/x", ".localhost:8080"},
      {"", ""},
  };
  for (const auto &c : cases)
    EXPECT_EQ(RuleSet::geturlkey(QByteArray(c.address)), QByteArray(c.key)) << c.address;
  // Only ASCII letters are lowered, on characters: 乣 (81 61) keeps its second byte.
  EXPECT_EQ(RuleSet::geturlkey(gbk("http://书乣.Example/")), gbk(".书乣.example"));
}

class Lookup : public ::testing::Test {
protected:
  QByteArrayList find(const char *address) const { return rules_.ruleFor(QByteArray(address)); }
  RuleSet rules_{QStringLiteral("/nonexistent/bookset.dat")};
};

TEST_F(Lookup, CandidatesFromKey) {
  rules_.setRulestext("junk before " + dw(".site.example", {"", "dot-site"}) + " junk\r\n" +
                      dw("site.example", {"", "bare-site"}) + "\r\n" + dw("x", {"", "one-char"}) +
                      "\r\n" + dw("abc", {"", "abc"}) + "\r\n");
  const struct {
    const char *address;
    const char *s1; // "" for no rule
  } cases[] = {
      {"http://www.site.example/x/", "dot-site"},       // .site.example at once
      {"http://book.site.example/12/", "bare-site"},    // then site.example
      {"http://localhost/", "one-char"},                // .localhost, then "."
      {"http://a.c/", ""},                              // .a.c, then "c" … no
      {"http://other.example/", ""},
  };
  for (const auto &c : cases) {
    QByteArrayList r = find(c.address);
    if (*c.s1) {
      ASSERT_EQ(r.size(), 11) << c.address;
      EXPECT_EQ(r[1], QByteArray(c.s1)) << c.address;
    } else {
      EXPECT_TRUE(r.isEmpty()) << c.address;
    }
  }
  // "." in a candidate matches any character.
  EXPECT_EQ(rules_.getdsbykey("a.c").value(1), "abc");
}

TEST_F(Lookup, RecordWithOnlyBareKeyIsNeverFoundFromWww) {
  rules_.setRulestext(dw("site.example", {"", "bare"}) + "\r\n");
  EXPECT_TRUE(find("http://www.site.example/x/").isEmpty());
}

TEST_F(Lookup, DotKeyRecordNotFoundFromSubdomain) {
  rules_.setRulestext(dw(".site.example", {"", "dot"}) + "\r\n");
  EXPECT_TRUE(find("http://book.site.example/12/").isEmpty());
}

TEST_F(Lookup, FieldsComeBackConverted) {
  rules_.setRulestext(
      "<DW><WK>.site.example</WK><S0>zero</S0><s1>{{1}}a{{t}}b{{br}}{{2}}c{{t}}d</s1><s2>(.*?)</s2>"
      "<s3>$1</s3><s4>[webpath]$1</s4><s5></s5><s6></s6><s7>{{BR}}</s7><s8></s8><s9></s9>"
      "<s10>" + gbk("正文") + "</s10></dw>\r\n" + dw(".site.example", {"second"}) + "\r\n");
  QByteArrayList r = find("http://www.site.example/");
  ASSERT_EQ(r.size(), 11);
  EXPECT_EQ(r, (QByteArrayList{"zero", "{{1}}a{{t}}b\r\n{{2}}c{{t}}d", "(.*?)", "$1", "[webpath]$1", "",
                               "", "{{BR}}", "", "", gbk("正文")}));
}

TEST_F(Lookup, EmptyOrInvalid) {
  EXPECT_TRUE(find("http://www.site.example/").isEmpty()); // nothing loaded
  // A key that would not be a valid pattern is taken literally.
  rules_.setRulestext(dw("(", {"", "x"}));
  EXPECT_EQ(rules_.getdsbykey("(").value(1), "x");
}

TEST_F(Lookup, PatternCharactersOfTheAddressStayLiteral) {
  rules_.setRulestext(dw(".site.example", {"zero", "site"}) + "\r\n" +
                      dw(".other.example", {"zero", "other"}) + "\r\n" +
                      dw(".odd(.)example", {"zero", "odd"}) + "\r\n");
  const struct {
    const char *key;
    const char *s1; // "" for no rule
  } cases[] = {
      {"||()", ""},                    // was a 12-field record of empty texts
      {".site(.)example", ""},         // was the site's record, fields shifted
      {".odd(.)example", "odd"},       // its own record, read literally
      {".nothing|.other.example", ""}, // was another site's record
      {".other.exampl[e]", ""},
      {".s*.example", ""},
      {".site+example", ""},
      {"^.site.example", ""},
      {".x{{br}}", ""},
      {".site.example", "site"}, // "." still matches any character:
      {".site.exampl.", "site"},
      {".site-example", ""},
  };
  for (const auto &c : cases) {
    const QByteArrayList r = rules_.getdsbykey(QByteArray(c.key));
    if (*c.s1) {
      ASSERT_EQ(r.size(), 11) << c.key;
      EXPECT_EQ(r[0], "zero") << c.key;
      EXPECT_EQ(r[1], QByteArray(c.s1)) << c.key;
    } else {
      EXPECT_TRUE(r.isEmpty()) << c.key << ": " << r.join('|').constData();
    }
  }
  // Over empty rules every key finds nothing.
  rules_.setRulestext("");
  EXPECT_TRUE(rules_.getdsbykey("||()").isEmpty());
  EXPECT_TRUE(find("http://www.site(.)example/book/").isEmpty());
}

TEST_F(Lookup, RulesFromFileWithEmptyRecordOne) {
  QTemporaryDir dir;
  RuleSet rules(dir.filePath(QStringLiteral("bookset.dat")));
  rules.loadRules();
  EXPECT_EQ(rules.rulestext(), "");
  ASSERT_TRUE(codec::writeFileAtomic(rules.ruleFilePath(), RuleFile::build({"sites", ""})));
  rules.loadRules();
  EXPECT_EQ(rules.rulestext(), "");
  ASSERT_TRUE(codec::writeFileAtomic(rules.ruleFilePath(), RuleFile::build({"sites", dw(".s.example", {"", "r"})})));
  rules.loadRules();
  EXPECT_EQ(rules.ruleFor("http://www.s.example/").value(1), "r");
}

TEST_F(Lookup, LookupsWhileRulesAreReplaced) {
  const QByteArray a = dw(".site.example", {"", "old"}) + "\r\n";
  const QByteArray b = "\r\n\r\n" + dw(".other.example", {}) + "\r\n" + dw(".site.example", {"", "new"}) + "\r\n";
  rules_.setRulestext(a);
  std::atomic<bool> stop{false};
  std::atomic<int> bad{0};
  std::thread writer([&] {
    for (int i = 0; !stop.load(); ++i)
      rules_.setRulestext(i % 2 ? a : b);
  });
  std::vector<std::thread> readers;
  for (int t = 0; t < 3; ++t)
    readers.emplace_back([&] {
      for (int i = 0; i < 300; ++i) {
        QByteArray s1 = find("http://www.site.example/").value(1);
        if (s1 != "old" && s1 != "new")
          ++bad;
      }
    });
  for (std::thread &r : readers)
    r.join();
  stop.store(true);
  writer.join();
  EXPECT_EQ(bad.load(), 0);
}

TEST(RuleSet, Shh) {
  EXPECT_EQ(RuleSet::shh("a{{br}}b{{BR}}c{{br}}"), "a\r\nb{{BR}}c\r\n");
}

TEST(RuleSet, InstallsOnlyARuleFileWithSiteRules) {
  QTemporaryDir dir;
  QDir(dir.path()).mkpath(QStringLiteral("db"));
  RuleSet rules(dir.filePath(QStringLiteral("db/bookset.dat")));
  const QByteArray old = RuleFile::build({"sites", dw(".site.example", {"", "old"})});
  ASSERT_TRUE(codec::writeFileAtomic(rules.ruleFilePath(), old));
  rules.loadRules();
  rules.setSsreload(false);
  for (const QByteArray &bad : {QByteArray("\x05\x00\x00\x00" "abc", 7), RuleFile::build({"sites"}),
                                QByteArray()}) {
    EXPECT_FALSE(rules.installRules(bad));
    EXPECT_EQ(rules.ruleFor("http://www.site.example/").value(1), "old");
    EXPECT_FALSE(rules.ssreload());
  }
  EXPECT_TRUE(rules.installRules(RuleFile::build({"s2", dw(".site.example", {"", "new"})})));
  EXPECT_EQ(rules.ruleFor("http://www.site.example/").value(1), "new");
  EXPECT_TRUE(rules.ssreload());
}

} // namespace
} // namespace inkwren
