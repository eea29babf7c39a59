#pragma once
// The search sites as the user chose them: the <sw> records of the search-site list (record 0
// of the rule file) combined with the choice file.
//
// rebuild gives the rows of the search configuration: the chosen sites in the choice file's
// order (checked as the file says), then the sites the file does not name, in list order,
// unchecked, or all checked when the choice file is empty. loadss gives the sites a search
// runs over: the enabled sites in the user's order, or every site of the list when none is
// enabled (or the choice file is missing).
//
// A key is placed into the record pattern as it is, so "." in a key matches any character; a
// key that is no valid pattern finds nothing.
//
// Threads: any (stateless), but `load*` read the files on the calling thread.
#include "search/searchset.h"
#include "search/searchsite.h"

#include <QString>

#include <vector>

namespace inkwren {

class RuleSet;

class SearchSites {
public:
  SearchSites(const RuleSet &rules, SearchSetFile choice)
      : rules_(rules), choice_(std::move(choice)) {}

  const SearchSetFile &choiceFile() const { return choice_; }

  // From the files: record 0 read anew each time.
  std::vector<SiteRow> loadRows() const;
  std::vector<SearchSite> loadSites() const;
  QString record0() const;

  static std::vector<SiteRow> rebuild(const std::vector<SearchSetFile::Line> &choice,
                                      const QString &record0);
  static std::vector<SearchSite> loadss(const std::vector<SearchSetFile::Line> &choice,
                                        const QString &record0);

private:
  const RuleSet &rules_;
  SearchSetFile choice_;
};

} // namespace inkwren
