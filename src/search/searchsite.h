#pragma once
// A search site: one <sw> record of the search-site list (record 0 of the rule file), and the
// types a search works with.
//
//   <sw><wn>name</wn><s0>address</s0><s1>key</s1><s2>…</s2> … <s10>…</s10></sw>
//
// s0 the site's address, s1 its key in the choice file, s2 / s3 the search address templates by
// novel name / by author ("[key]", "[enkey]"), s4 a rule expression over the result page, s5 the
// result pattern (one hit per match), s6 to s9 the templates of novel name, author, latest
// chapter and table-of-contents address; s10 is carried along.
//
// Threads: plain values, any thread.
#include <QMetaType>
#include <QString>

#include <array>

namespace inkwren {

struct SearchSite {
  QString name;              // wn
  std::array<QString, 11> s; // s0 to s10, "{{br}}" already made CR LF
};

// A row of the search configuration's list: a site, whether it is enabled, in search order.
struct SiteRow {
  QString name;    // wn
  QString address; // s0
  QString key;     // s1
  bool checked = false;
  bool operator==(const SiteRow &) const = default;
};

enum class SearchType { ByName, ByAuthor }; // "书名", "作者"

// What one search looks for.
struct SearchQuery {
  SearchType type = SearchType::ByName;
  QString key;        // the text as typed
  bool exact = false; // "准确搜索": the compared value must equal the key
};

// One hit: the rows of the hit list.
struct SearchHit {
  QString name;   // 书名
  QString site;   // 网站
  QString author; // 作者
  QString latest; // 最新章节
  QString url;    // 目录地址
  bool operator==(const SearchHit &) const = default;
};

} // namespace inkwren

Q_DECLARE_METATYPE(inkwren::SearchHit)
