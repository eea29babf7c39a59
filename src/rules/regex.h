#pragma once
// The system's regular expressions: ECMAScript (3rd edition) syntax and matching, always global
// and ignore-case, never multi-line ("^" and "$" only at the ends of the whole text, "." matches
// everything but LF). Texts are GBK bytes: pattern and subject are decoded to UTF-16 with the
// codec, matched on characters, and matched texts and groups are encoded back, so bytes outside
// a match are never damaged.
//
// Built on PCRE2 (16-bit, JIT). A pattern that can't be compiled gives an object whose valid()
// is false; every search on it finds nothing. Patterns come from a web service, so every search
// runs under match, depth and heap limits at each start position, and the whole walk over a
// subject (all its matches) under a limit of processor time (walkTimeLimit, 3 s): a search that
// hits one (runaway backtracking) ends with no match at all instead of hanging.
//
// Threads: any. A compiled Regex is immutable; its const methods may run on several threads at
// once (each search uses its own match data and the calling thread's JIT stack).
#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace inkwren {

// One match: its whole text and its groups, GBK.
struct RegexMatch {
  QByteArray value;
  QByteArrayList groups; // groups[k - 1] is group k; a group that took no part is empty

  // Group k (1-based); empty for k out of range.
  QByteArray group(int k) const { return k >= 1 && k <= groups.size() ? groups[k - 1] : QByteArray(); }
};

class Regex {
public:
  // Where a match lies in the decoded subject: UTF-16 offsets, ovector[2k], ovector[2k + 1]
  // for group k (k = 0 the whole match); -1 for a group that took no part.
  struct Spans {
    const qsizetype *ovector;
    int pairs; // groupCount() + 1
    qsizetype start(int k) const { return ovector[2 * k]; }
    qsizetype end(int k) const { return ovector[2 * k + 1]; }
  };

  explicit Regex(QByteArrayView gbkPattern);
  explicit Regex(QStringView pattern);
  ~Regex();
  Regex(Regex &&) noexcept;
  Regex &operator=(Regex &&) noexcept;
  Regex(const Regex &) = delete;
  Regex &operator=(const Regex &) = delete;

  bool valid() const { return code_ != nullptr; }
  QString errorText() const { return error_; }
  int groupCount() const { return groups_; }

  // All matches, left to right, each search starting after the end of the previous match (one
  // character further after an empty match). Empty when the pattern is invalid or a limit was
  // hit.
  QList<RegexMatch> matchAll(QByteArrayView gbkSubject) const;
  // The first match only.
  std::optional<RegexMatch> matchFirst(QByteArrayView gbkSubject) const;
  // Every match replaced by the literal text; the subject unchanged when there is no match,
  // the pattern is invalid or a limit was hit.
  QByteArray replaceAll(QByteArrayView gbkSubject, QByteArrayView gbkLiteral) const;

  // The low-level walk over a decoded subject: calls visit for each match until it returns
  // false. Returns false when a limit was hit or matching failed (the walk is then incomplete),
  // true otherwise (also for an invalid pattern, which visits nothing).
  bool forEach(QStringView subject, const std::function<bool(const Spans &)> &visit) const;

  // The processor time one walk may take (all threads; each walk counts its own thread's
  // time). Tests and fuzzing shorten it.
  static void setWalkTimeLimit(std::chrono::milliseconds limit);
  static std::chrono::milliseconds walkTimeLimit();

  // The ECMAScript pattern rewritten for PCRE2 (escapes that differ between the two). Exposed
  // for tests.
  static QString translate(QStringView pattern);

private:
  void compile(QStringView pattern);
  static RegexMatch toMatch(QStringView subject, const Spans &spans, int groups);

  struct Code;
  Code *code_ = nullptr;
  int groups_ = 0;
  QString error_;
};

} // namespace inkwren
