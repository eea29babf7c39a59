// The search sites as the user chose them: the choice file and the <sw> records.
#include "rules/ruleset.h"
#include "search/searchset.h"
#include "search/searchsites.h"
#include "support/search_sites.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace inkwren;
using namespace inkwren::test;

namespace {

QString site(const QString &key) {
  return swRecord(QStringLiteral("站") + key,
                  {QStringLiteral("http://") + key + QStringLiteral(".example/"), key,
                   QStringLiteral("http://") + key + QStringLiteral("/s?[key]")});
}

QString record0(const QStringList &keys) {
  QStringList lines;
  for (const QString &k : keys)
    lines << site(k);
  return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

std::vector<SearchSetFile::Line> choice(const QString &text) {
  return SearchSetFile::parse(text);
}

QStringList keysOf(const std::vector<SiteRow> &rows) {
  QStringList out;
  for (const SiteRow &r : rows)
    out << r.key + (r.checked ? QStringLiteral("+") : QStringLiteral("-"));
  return out;
}

QStringList keysOf(const std::vector<SearchSite> &sites) {
  QStringList out;
  for (const SearchSite &s : sites)
    out << s.s[1];
  return out;
}

TEST(ChoiceFile, LinesAndFlags) {
  const auto lines =
      choice(QStringLiteral("k1,1\r\nk2,0\r\nk3,1 \r\nnocomma\r\n,1\r\nk4,1,x\nk5,1"));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], (SearchSetFile::Line{QStringLiteral("k1"), QStringLiteral("1")}));
  EXPECT_TRUE(lines[0].enabled());
  EXPECT_FALSE(lines[1].enabled());
  EXPECT_FALSE(lines[2].enabled()) << "\"1 \" is not exactly 1";
  EXPECT_EQ(lines[3].key, QStringLiteral("k4"));
  EXPECT_FALSE(lines[3].enabled()) << "the flag is everything after the first comma";
  EXPECT_TRUE(lines[4].enabled());
}

TEST(ChoiceFile, WritesCrLfLinesAndAnEmptyFileForNoRows) {
  QTemporaryDir dir;
  SearchSetFile file(dir.filePath(QStringLiteral("searchset.dat")));
  EXPECT_TRUE(file.read().empty()) << "a missing file reads as empty";
  ASSERT_TRUE(file.write(
      SearchSetFile::choiceLines({{QStringLiteral("甲"), {}, QStringLiteral("k1"), true},
                                  {QStringLiteral("乙"), {}, QStringLiteral("k2"), false}})));
  QFile f(file.path());
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("k1,1\r\nk2,0\r\n"));
  f.close();
  ASSERT_TRUE(file.write({}));
  EXPECT_EQ(QFile(file.path()).size(), 0);
}

TEST(SiteRows, ChosenSitesFirstInFileOrderThenTheRest) {
  const QString rec = record0({QStringLiteral("k1"), QStringLiteral("k2"), QStringLiteral("k3")});
  struct Case {
    const char *choice;
    QStringList rows;
  } cases[] = {
      {"k2,1\r\nk1,0\r\n", {"k2+", "k1-", "k3-"}},
      {"", {"k1+", "k2+", "k3+"}},                   // no choice: every site, enabled
      {"gone,1\r\nk3,1\r\n", {"k3+", "k1-", "k2-"}}, // a site the list no longer has is dropped
      {"k2,1 \r\n", {"k2-", "k1-", "k3-"}},
  };
  for (const Case &c : cases)
    EXPECT_EQ(keysOf(SearchSites::rebuild(choice(QString::fromUtf8(c.choice)), rec)), c.rows)
        << c.choice;
  const auto rows = SearchSites::rebuild({}, rec);
  EXPECT_EQ(rows[0].name, QStringLiteral("站k1"));
  EXPECT_EQ(rows[0].address, QStringLiteral("http://k1.example/"));
}

TEST(SiteRows, KeyIsAPatternAsWritten) {
  // "." in a key matches any character: the line k.2 takes the site k12 (first in the file).
  const QString rec = record0({QStringLiteral("k12"), QStringLiteral("k2")});
  EXPECT_EQ(keysOf(SearchSites::rebuild(choice(QStringLiteral("k.2,1")), rec)),
            (QStringList{"k12+", "k2-"}));
  // A key that is no pattern finds nothing and breaks nothing.
  EXPECT_EQ(keysOf(SearchSites::rebuild(choice(QStringLiteral("k(,1")), rec)),
            (QStringList{"k12-", "k2-"}));
  EXPECT_EQ(keysOf(SearchSites::loadss(choice(QStringLiteral("k(,1")), rec)),
            (QStringList{"k12", "k2"}));
}

TEST(SitesToSearch, EnabledInTheUsersOrderOrEverySite) {
  const QString rec = record0({QStringLiteral("k1"), QStringLiteral("k2"), QStringLiteral("k3")});
  struct Case {
    const char *choice;
    QStringList sites;
  } cases[] = {
      {"k3,1\r\nk2,0\r\nk1,1\r\n", {"k3", "k1"}},
      {"k1,0\r\nk2,0\r\n", {"k1", "k2", "k3"}}, // none enabled: every site
      {"", {"k1", "k2", "k3"}},
      {"gone,1\r\n", {"k1", "k2", "k3"}},
  };
  for (const Case &c : cases)
    EXPECT_EQ(keysOf(SearchSites::loadss(choice(QString::fromUtf8(c.choice)), rec)), c.sites)
        << c.choice;
}

TEST(SitesToSearch, FieldsWithLineBreaksAndAnyTagCase) {
  const QString rec =
      QStringLiteral("<SW><WN>甲</WN><s0>http://a/</s0><s1>a</s1><s2>http://a/?[key]</s2>"
                     "<s3></s3><s4>{{2}}x{{t}}y{{br}}{{2}}y{{t}}z</s4><s5>(.)</s5><s6>$1</s6>"
                     "<s7></s7><s8></s8><s9>[webpath]$1</s9><S10>ten</S10></SW>\r\n");
  for (const char *c : {"a,1", ""}) {
    const auto sites = SearchSites::loadss(choice(QString::fromUtf8(c)), rec);
    ASSERT_EQ(sites.size(), 1u) << c;
    EXPECT_EQ(sites[0].name, QStringLiteral("甲"));
    EXPECT_EQ(sites[0].s[2], QStringLiteral("http://a/?[key]"));
    EXPECT_EQ(sites[0].s[4], QStringLiteral("{{2}}x{{t}}y\r\n{{2}}y{{t}}z"));
    EXPECT_EQ(sites[0].s[9], QStringLiteral("[webpath]$1"));
    EXPECT_EQ(sites[0].s[10], QStringLiteral("ten"));
  }
}

TEST(SitesToSearch, FromTheFiles) {
  QTemporaryDir dir;
  const QString ruleFile = dir.filePath(QStringLiteral("bookset.dat"));
  ASSERT_TRUE(writeSearchSites(ruleFile, {site(QStringLiteral("k1")), site(QStringLiteral("k2"))}));
  RuleSet rules(ruleFile);
  SearchSites sites(rules, SearchSetFile(dir.filePath(QStringLiteral("searchset.dat"))));
  EXPECT_EQ(keysOf(sites.loadRows()), (QStringList{"k1+", "k2+"}));
  ASSERT_TRUE(sites.choiceFile().write(
      {{QStringLiteral("k2"), QStringLiteral("1")}, {QStringLiteral("k1"), QStringLiteral("0")}}));
  EXPECT_EQ(keysOf(sites.loadRows()), (QStringList{"k2+", "k1-"}));
  EXPECT_EQ(keysOf(sites.loadSites()), (QStringList{"k2"}));
  // Saving an empty list makes the next rebuild enable every site.
  ASSERT_TRUE(sites.choiceFile().write({}));
  EXPECT_EQ(keysOf(sites.loadRows()), (QStringList{"k1+", "k2+"}));
  // No rule file: no sites.
  QFile::remove(ruleFile);
  EXPECT_TRUE(sites.loadRows().empty());
  EXPECT_TRUE(sites.loadSites().empty());
}

} // namespace
