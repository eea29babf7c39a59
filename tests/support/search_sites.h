#pragma once
// Search-site records and rule files for tests: <sw> records, a rule file whose record 0 lists
// them, and the records of the two real result pages of the corpus.
#include "core/codec.h"
#include "rules/rulefile.h"

#include <QFile>
#include <QString>
#include <QStringList>

namespace inkwren::test {

// One <sw> record: the site name and fields s0 to s10 (missing fields empty).
inline QString swRecord(const QString &name, const QStringList &fields) {
  QString r = QStringLiteral("<sw><wn>") + name + QStringLiteral("</wn>");
  for (int n = 0; n <= 10; ++n)
    r += QStringLiteral("<s%1>%2</s%1>").arg(n).arg(n < fields.size() ? fields[n] : QString());
  return r + QStringLiteral("</sw>");
}

// A site keyed key whose search page is base + "/search?k=[enkey]" (by name) or
// "/author?k=[enkey]" (by author). The page lists hits as
//   <li><a href="URL">NAME</a><i>AUTHOR</i><b>LATEST</b></li>
inline QString listSite(const QString &name, const QString &key, const QByteArray &base) {
  const QString b = QString::fromLatin1(base);
  return swRecord(name, {b, key, b + QStringLiteral("/search?k=[enkey]"),
                         b + QStringLiteral("/author?k=[enkey]"), QString(),
                         QStringLiteral("<li><a href=\"([^\"]*)\">([^<]*)</a><i>([^<]*)</i>"
                                        "<b>([^<]*)</b></li>"),
                         QStringLiteral("$2"), QStringLiteral("$3"), QStringLiteral("$4"),
                         QStringLiteral("[webpath]$1")});
}

// A result page in that layout, for hits of name, author, latest chapter and address.
struct ListHit {
  QString name, author, latest, url;
};
inline QByteArray listPage(const QList<ListHit> &hits) {
  QString page = QStringLiteral("<html><body><ul>\n");
  for (const ListHit &h : hits)
    page += QStringLiteral("<li><a href=\"%1\">%2</a><i>%3</i><b>%4</b></li>\n")
                .arg(h.url, h.name, h.author, h.latest);
  return codec::encode(page + QStringLiteral("</ul></body></html>\n"));
}

// The real result page of qudushu for 我 (UTF-8), searched at base "/modules/article/search.php".
inline QString qudushuSite(const QByteArray &base) {
  const QString b = QString::fromLatin1(base);
  return swRecord(
      QStringLiteral("去读书"),
      {b, QStringLiteral("qudushu"),
       b + QStringLiteral("/modules/article/search.php?searchkey=[enkey]"),
       b + QStringLiteral("/modules/article/search.php?searchtype=author&searchkey=[enkey]"),
       QStringLiteral("{{0}}1{{t}}"),
       QStringLiteral("<p class=\"sone\">\\s*<a href=\"([^\"]*)\"[^>]*>([^<]*)</a>\\s*/\\s*"
                      "<span class=\"author\"><a>([^<]*)</a>"),
       QStringLiteral("$2"), QStringLiteral("$3"), QString(), b + QStringLiteral("$1")});
}

// The real result page of samsbook for 绍宋 (UTF-8): the category prefix "[历史]" stands in the
// title and is cut off by the pattern; the addresses are relative to the site's root.
inline QString samsbookSite(const QByteArray &base) {
  const QString b = QString::fromLatin1(base);
  return swRecord(
      QStringLiteral("神马小说网"),
      {b, QStringLiteral("samsbook"), b + QStringLiteral("/search.php?q=[enkey]"),
       b + QStringLiteral("/search.php?q=[enkey]"), QStringLiteral("{{0}}1{{t}}"),
       QStringLiteral("<h3><a href=\"/([^\"]*)\"[^>]*>(?:\\[[^\\]]*\\])?([^<]*)</a></h3></dd>"
                      "\\s*<dd class=\"book_other\">作者：<span>([^<]*)</span>.*?"
                      "最新章节：<a[^>]*>([^<]*)</a>"),
       QStringLiteral("$2"), QStringLiteral("$3"), QStringLiteral("$4"),
       QStringLiteral("[webpath]$1")});
}

// A real page kept in tests/data/search, as bytes.
inline QByteArray corpusPage(const QString &name) {
  QFile f(QStringLiteral(INKWREN_TEST_DATA "/search/") + name);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes a rule file whose record 0 holds these search-site lines (and an empty record 1).
inline bool writeSearchSites(const QString &ruleFilePath, const QStringList &records) {
  QFile f(ruleFilePath);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
    return false;
  const QByteArray record0 =
      codec::encode(records.join(QStringLiteral("\r\n")) +
                    (records.isEmpty() ? QString() : QStringLiteral("\r\n")));
  return f.write(RuleFile::build({record0, QByteArray()})) >= 0;
}

} // namespace inkwren::test
