#include "rules/update/chapterlistextractor.h"

#include "core/codec.h"
#include "rules/regex.h"
#include "rules/ruleinterpreter.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace inkwren {

const QString ChapterListExtractor::kDefaultVolume = QStringLiteral("正文");

namespace {

enum Field { S2 = 2, S3, S4, S5, S6 };

QString field(const QByteArrayList &rule, int i) {
  return i < rule.size() ? codec::decode(rule[i]) : QString();
}

// Leading and trailing blanks and control characters off.
QString trimBlanks(const QString &s) {
  qsizetype b = 0, e = s.size();
  while (b < e && s[b].unicode() <= 0x20)
    ++b;
  while (e > b && s[e - 1].unicode() <= 0x20)
    --e;
  return s.mid(b, e - b);
}

QStringList groupsOf(QStringView subject, const Regex::Spans &sp) {
  QStringList groups;
  groups.reserve(sp.pairs - 1);
  for (int k = 1; k < sp.pairs; ++k)
    groups.append(sp.start(k) < 0
                      ? QString()
                      : subject.sliced(sp.start(k), sp.end(k) - sp.start(k)).toString());
  return groups;
}

// Volume names for the chapters of one page. The heading pattern runs over the page once; a
// chapter takes the last heading that ends before the first place its match text is listed,
// which is what a search of the text above the chapter finds. Where that can differ (a heading
// reaching past that point, or a pattern that looks at the end of the text or beyond a match)
// the text above the chapter is searched itself.
//
// The first place of a match text is the start of the first match with that text (the page is
// walked in order), so a long list costs one pass and a look-up per chapter, not a search of
// the page per chapter. A standalone look-up (getfjn) searches the page for the text.
class VolumeFinder {
public:
  VolumeFinder(const QString &toc, const QString &s5, const QString &s6,
               const RuleInterpreter &interpreter)
      : toc_(toc), s6_(s6), interpreter_(interpreter), fixed_(s5.isEmpty()), re_(QStringView(s5)) {
    if (fixed_)
      return;
    static const char *const kEndSensitive[] = {"$", "\\b", "\\B", "(?=", "(?!", "\\Z", "\\z"};
    for (const char *t : kEndSensitive)
      if (s5.contains(QLatin1String(t)))
        exactOnly_ = true;
    if (!exactOnly_)
      re_.forEach(toc_, [this](const Regex::Spans &sp) {
        headings_.push_back({sp.start(0), sp.end(0), groupsOf(toc_, sp)});
        return true;
      });
  }

  // at: where the match text is first listed, or -1 to search the page for it.
  QString volumeFor(const QString &matchValue, qsizetype at = -1) {
    if (fixed_)
      return s6_.isEmpty() ? ChapterListExtractor::kDefaultVolume : s6_;
    auto cached = byValue_.constFind(matchValue);
    if (cached != byValue_.constEnd())
      return *cached;
    QString v = compute(at >= 0 ? at : toc_.indexOf(matchValue));
    byValue_.insert(matchValue, v);
    return v;
  }

private:
  struct Heading {
    qsizetype start, end;
    QStringList groups;
  };

  QString compute(qsizetype p) {
    if (p < 0)
      p = toc_.size();
    const QStringList *groups = nullptr;
    QStringList exactGroups;
    auto it = std::upper_bound(headings_.begin(), headings_.end(), p,
                               [](qsizetype pos, const Heading &h) { return pos < h.end; });
    bool crossing = it != headings_.end() && it->start < p;
    if (exactOnly_ || crossing) {
      bool found = false;
      QStringView above = QStringView(toc_).first(p);
      re_.forEach(above, [&](const Regex::Spans &sp) {
        exactGroups = groupsOf(above, sp);
        found = true;
        return true;
      });
      if (found)
        groups = &exactGroups;
    } else if (it != headings_.begin()) {
      groups = &std::prev(it)->groups;
    }
    if (!groups)
      return ChapterListExtractor::kDefaultVolume;
    QString v = trimBlanks(interpreter_.regsp(s6_, *groups));
    return v.isEmpty() ? ChapterListExtractor::kDefaultVolume : v;
  }

  const QString &toc_;
  QString s6_;
  const RuleInterpreter &interpreter_;
  bool fixed_;
  bool exactOnly_ = false;
  Regex re_;
  std::vector<Heading> headings_;
  QHash<QString, QString> byValue_;
};

} // namespace

struct ChapterListExtractor::Match {
  QString value;
  qsizetype start;
  QString name;
  QString url;
};

namespace {

constexpr int kProgressEvery = 2000; // matches between two progress reports

bool stopped(const ChapterListExtractor::Watch &watch) {
  return watch.stop && watch.stop();
}

} // namespace

std::vector<ChapterListExtractor::Match>
ChapterListExtractor::chapterMatches(const QString &toc, const QByteArrayList &rule,
                                     const Watch &watch) const {
  std::vector<Match> out;
  Regex re{QStringView(field(rule, S2))};
  if (!re.valid())
    return out;
  const QString s3 = field(rule, S3), s4 = field(rule, S4);
  re.forEach(toc, [&](const Regex::Spans &sp) {
    QStringList groups = groupsOf(toc, sp);
    out.push_back({toc.sliced(sp.start(0), sp.end(0) - sp.start(0)), sp.start(0),
                   trimBlanks(interpreter_.regsp(s3, groups)),
                   trimBlanks(interpreter_.regsp(s4, groups))});
    if (out.size() % kProgressEvery == 0) {
      if (watch.progress)
        watch.progress(qsizetype(out.size()));
      return !stopped(watch);
    }
    return true;
  });
  return out;
}

std::vector<TocEntry> ChapterListExtractor::extract(const QByteArray &toc,
                                                    const QByteArrayList &rule,
                                                    const Watch &watch) const {
  return extract(codec::decode(toc), rule, watch);
}

std::vector<TocEntry> ChapterListExtractor::extract(const QString &toc, const QByteArrayList &rule,
                                                    const Watch &watch) const {
  std::vector<TocEntry> out;
  VolumeFinder volumes(toc, field(rule, S5), field(rule, S6), interpreter_);
  if (stopped(watch))
    return out;
  const std::vector<Match> matches = chapterMatches(toc, rule, watch);
  QSet<QString> seen;
  seen.reserve(qsizetype(matches.size()));
  std::size_t n = 0;
  for (const Match &m : matches) {
    if (++n % kProgressEvery == 0 && stopped(watch))
      return {};
    QString key = ChapterStore::addressKey(m.url);
    if (seen.contains(key))
      continue;
    seen.insert(key);
    out.push_back({m.name, volumes.volumeFor(m.value, m.start), m.url});
  }
  return stopped(watch) ? std::vector<TocEntry>{} : out;
}

QString ChapterListExtractor::getfjn(const QString &toc, const QString &matchValue,
                                     const QString &s5, const QString &s6) const {
  return VolumeFinder(toc, s5, s6, interpreter_).volumeFor(matchValue);
}

int ChapterListExtractor::stozj(const QByteArray &toc, const QString &bookId,
                                const QByteArrayList &rule, const Watch &watch) const {
  return stozj(codec::decode(toc), bookId, rule, watch);
}

int ChapterListExtractor::stozj(const QString &toc, const QString &bookId,
                                const QByteArrayList &rule, const Watch &watch) const {
  const std::vector<TocEntry> entries = extract(toc, rule, watch);
  if (entries.empty() || stopped(watch))
    return 0;
  return chapters_.appendNew(bookId, entries);
}

int ChapterListExtractor::stozjpx(const QByteArray &tocBytes, const QString &bookId,
                                  const QByteArrayList &rule) const {
  QStringList urls;
  for (const Match &m : chapterMatches(codec::decode(tocBytes), rule))
    urls << m.url;
  return chapters_.setOrderByAddress(bookId, urls);
}

std::optional<ChapterListExtractor::Refreshed>
ChapterListExtractor::regetzjfjnm(const QByteArray &tocBytes, const QString &bookId,
                                  const QString &chapterId, const QString &chapterUrl,
                                  const QByteArrayList &rule) const {
  const QString toc = codec::decode(tocBytes);
  VolumeFinder volumes(toc, field(rule, S5), field(rule, S6), interpreter_);
  // Every listing of the address is applied in turn and the last one wins: only the last
  // needs storing, in one statement however often the page lists the address.
  const std::vector<Match> matches = chapterMatches(toc, rule);
  auto last = std::find_if(matches.rbegin(), matches.rend(),
                           [&](const Match &m) { return m.url == chapterUrl; });
  if (last == matches.rend())
    return std::nullopt;
  // Its volume is taken where its text is first listed.
  const auto first = std::find_if(matches.begin(), matches.end(),
                                  [&](const Match &m) { return m.value == last->value; });
  Refreshed r{last->name, volumes.volumeFor(last->value, first->start)};
  if (!chapters_.setNameAndVolume(bookId, chapterId, r.name, r.volume))
    return std::nullopt;
  return r;
}

} // namespace inkwren
