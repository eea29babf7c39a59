#pragma once
// The fetch context of one job: its own page directory "[webpath]", the fetcher that sets it
// (each exchange gets a fresh HTTP client with the proxy settings) and the rule interpreter
// whose templates read it. Every update job and search worker makes one, so a fetch never
// changes the directory another job expands; the main thread has one of its own.
//
// Threads: one context belongs to one job (or one of a job's download threads); its parts are
// used from that thread. The Settings (and the cancel flag and connection pool, when given)
// must outlive the context.
#include "rules/fetcher.h"
#include "rules/ruleinterpreter.h"
#include "rules/webpath.h"

#include <atomic>

namespace inkwren {

class Settings;

struct FetchContext {
  explicit FetchContext(const Settings &settings, const std::atomic<bool> *cancel = nullptr,
                        ConnectionPool *pool = nullptr)
      : fetcher(settings, webpath, cancel, pool), interpreter(fetcher) {}
  FetchContext(const FetchContext &) = delete;
  FetchContext &operator=(const FetchContext &) = delete;

  WebPath webpath;
  Fetcher fetcher;
  RuleInterpreter interpreter;
};

} // namespace inkwren
