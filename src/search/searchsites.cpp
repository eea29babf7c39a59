#include "search/searchsites.h"

#include "core/codec.h"
#include "rules/ruleset.h"
#include "rules/textmatch.h"

namespace inkwren {
namespace {

// "<s2>(.*?)</s2>" … "<s10>(.*?)</s10>" for fields first to 10.
QString fieldGroups(int first) {
  QString out;
  for (int n = first; n <= 10; ++n)
    out += QStringLiteral("<s%1>(.*?)</s%1>").arg(n);
  return out;
}

QString shh(QString text) {
  text.replace(QStringLiteral("{{br}}"), QStringLiteral("\r\n"));
  return text;
}

void removeAll(QString &text, const QString &what) {
  if (!what.isEmpty())
    text.replace(what, QString(), Qt::CaseSensitive);
}

// A site from the groups of a match: name, then s0 to s10. Groups a key may have brought into
// the pattern stand between s1 and s2, so s2 to s10 are the last nine groups.
SearchSite siteOf(const QStringList &g) {
  SearchSite site;
  site.name = g.value(0);
  site.s[0] = shh(g.value(1));
  site.s[1] = shh(g.value(2));
  for (int n = 2; n <= 10; ++n)
    site.s[n] = shh(g.value(g.size() - 11 + n));
  return site;
}

} // namespace

QString SearchSites::record0() const {
  return codec::decode(rules_.getsetstr(0));
}

std::vector<SiteRow> SearchSites::loadRows() const {
  return rebuild(choice_.read(), record0());
}

std::vector<SearchSite> SearchSites::loadSites() const {
  return loadss(choice_.read(), record0());
}

std::vector<SiteRow> SearchSites::rebuild(const std::vector<SearchSetFile::Line> &choice,
                                          const QString &record0) {
  std::vector<SiteRow> rows;
  QString remaining = record0;
  for (const SearchSetFile::Line &line : choice) {
    if (line.key.isEmpty())
      continue;
    const Regex re(QStringLiteral("<sw><wn>([^<]*?)</wn><s0>([^<]*?)</s0><s1>(") + line.key +
                   QStringLiteral(")</s1>(.*?)</sw>"));
    std::optional<TextMatch> m = TextMatch::first(re, remaining);
    if (!m)
      continue;
    rows.push_back({m->groups.value(0), m->groups.value(1), m->groups.value(2), line.enabled()});
    removeAll(remaining, m->value);
  }
  static const Regex rest(QStringView(u"<sw><wn>(.*?)</wn><s0>(.*?)</s0><s1>(.*?)</s1>(.*?)</sw>"));
  if (auto all = TextMatch::all(rest, remaining))
    for (const TextMatch &m : *all)
      rows.push_back({m.groups.value(0), m.groups.value(1), m.groups.value(2), choice.empty()});
  return rows;
}

std::vector<SearchSite> SearchSites::loadss(const std::vector<SearchSetFile::Line> &choice,
                                            const QString &record0) {
  std::vector<SearchSite> sites;
  QString remaining = record0;
  for (const SearchSetFile::Line &line : choice) {
    if (line.key.isEmpty() || !line.enabled())
      continue;
    const Regex re(QStringLiteral("<sw><wn>([^<]*?)</wn><s0>([^<]*?)</s0><s1>(") + line.key +
                   QStringLiteral(")</s1>") + fieldGroups(2) + QStringLiteral("</sw>"));
    if (!re.valid())
      continue;
    std::optional<TextMatch> m = TextMatch::first(re, remaining);
    if (!m)
      continue;
    sites.push_back(siteOf(m->groups));
    removeAll(remaining, m->value);
  }
  if (sites.empty()) {
    static const Regex every(QStringLiteral("<sw><wn>(.*?)</wn>") + fieldGroups(0) +
                             QStringLiteral("</sw>"));
    if (auto all = TextMatch::all(every, record0))
      for (const TextMatch &m : *all)
        sites.push_back(siteOf(m.groups));
  }
  return sites;
}

} // namespace inkwren
