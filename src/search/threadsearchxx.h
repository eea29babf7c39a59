#pragma once
// The search worker TThreadSearchxx: searches one site on a thread of its own. It makes the
// search address from s2 (by novel name) or s3 (by author) with "[key]" and "[enkey]", fetches
// it with the search time-out through a fetch context of its own (own HTTP client and page
// directory, which starts as the search address's directory), runs the rule expression s4,
// cuts the hits out with the pattern s5 and builds each with the templates s6 to s9. A hit is
// kept when the compared value (the author for a search by author, else the novel name)
// contains the key, or equals it for an exact search. "[webpath]" in s9 is the directory of
// the search address.
//
// The worker never touches the screen: it hands its hits and its end to the coordinator, which
// passes them to the main thread. Once the search is no longer running it hands over nothing.
//
// Threads: made, started, waited for and destroyed by the coordinator's thread; Execute runs
// on the worker's own thread. cut() is a plain function for any thread.
#include "search/searchsite.h"

#include <QString>

#include <atomic>
#include <functional>
#include <thread>

namespace inkwren {

class RuleInterpreter;
class TThreadSearch;

class TThreadSearchxx {
public:
  TThreadSearchxx(TThreadSearch &owner, int slot, int siterow, QString key, QString enkey,
                  SearchType searchtype);
  ~TThreadSearchxx(); // waits for the thread
  TThreadSearchxx(const TThreadSearchxx &) = delete;
  TThreadSearchxx &operator=(const TThreadSearchxx &) = delete;

  void start();
  void wait();

  const int slot;
  const int siterow;
  int ticks = 0; // coordinator ticks used; the coordinator's thread only

  // The search address of a site for a key.
  static QString searchAddress(const SearchSite &site, SearchType type, const QString &key,
                               const QString &enkey);
  // Cuts the hits out of a result page (after s4): deliver gets each kept hit in order and
  // returns false to stop. searchDirectory stands for "[webpath]" in s9. Other templates read
  // the interpreter's page directory.
  static void cut(const QString &page, const SearchSite &site, const SearchQuery &query,
                  const QString &searchDirectory, const RuleInterpreter &interpreter,
                  const std::function<bool(SearchHit &&)> &deliver);

private:
  void Execute();

  TThreadSearch &owner_;
  const QString key_;
  const QString enkey_;
  const SearchType searchtype_;
  std::thread thread_;
};

} // namespace inkwren
