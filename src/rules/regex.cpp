#include "rules/regex.h"

#include "core/codec.h"
#include "rules/textmatch.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <atomic>
#include <ctime>
#include <utility>

namespace inkwren {
namespace {

// Options that give PCRE2 the ECMAScript behaviour rules rely on. UCP stays off (\w, \d and \b
// are ASCII in ECMAScript) and can't be switched on from inside a pattern.
constexpr uint32_t kCompileOptions = PCRE2_UTF | PCRE2_CASELESS | PCRE2_ALT_BSUX |
                                     PCRE2_MATCH_UNSET_BACKREF | PCRE2_ALLOW_EMPTY_CLASS |
                                     PCRE2_DOLLAR_ENDONLY | PCRE2_NEVER_UCP |
                                     PCRE2_NEVER_BACKSLASH_C;

// Limits per search call. The match limit bounds backtracking (JIT and interpreter), the depth
// and heap limits bound the interpreter's memory; the JIT stack bounds JIT recursion.
constexpr uint32_t kMatchLimit = 20'000'000;
constexpr uint32_t kDepthLimit = 2'000'000;
constexpr uint32_t kHeapLimitKiB = 256 * 1024;
constexpr size_t kJitStackStart = 64 * 1024;
constexpr size_t kJitStackMax = 16 * 1024 * 1024;

// The whole walk of one search over a subject (all its matches) may use this much processor
// time. A single call is bounded by the match limit only per start position, so a pattern that
// backtracks heavily at every position, or a walk of thousands of such calls, would otherwise
// run for minutes.
std::atomic<qint64> walkTimeLimitNs{qint64(3) * 1000 * 1000 * 1000};

// The prefix every compiled pattern gets: a callout at each start position, where the walk's
// time is checked. It adds no group and changes no match.
constexpr char16_t kWalkCallout[] = u"(?C)";
constexpr qsizetype kWalkCalloutLength = 4;

qint64 threadCpuNs() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return qint64(ts.tv_sec) * 1000 * 1000 * 1000 + ts.tv_nsec;
}

// The time account of one walk. The clock is read at every callout while positions are
// expensive, and ever more rarely (up to every 1024th) while they are cheap.
struct WalkBudget {
  qint64 deadlineNs;
  qint64 lastCheckNs;
  uint32_t interval = 1;
  uint32_t countdown = 1;
  bool exhausted = false;

  explicit WalkBudget(qint64 limitNs) : lastCheckNs(threadCpuNs()) {
    deadlineNs = lastCheckNs + limitNs;
  }

  bool check() {
    const qint64 now = threadCpuNs();
    if (now >= deadlineNs)
      exhausted = true;
    const bool quick = now - lastCheckNs < 1000 * 1000;
    interval = quick ? std::min<uint32_t>(interval * 2, 1024) : 1;
    countdown = interval;
    lastCheckNs = now;
    return !exhausted;
  }
  bool tick() { return --countdown > 0 || check(); }
};

int onCallout(pcre2_callout_block_16 *, void *data) {
  auto *budget = static_cast<WalkBudget *>(data);
  return budget->tick() ? 0 : PCRE2_ERROR_CALLOUT;
}

// ECMAScript white space beyond PCRE2's ASCII \s: no-break space, the byte-order mark, every
// Unicode space separator (U+3000 among them) and the line and paragraph separators.
constexpr char16_t kExtraSpace[] = u"\\u00a0\\ufeff\\p{Zs}\\u2028\\u2029";

// Each thread gets one match context with the limits set and a JIT stack larger than PCRE2's
// 32 KiB default, which long lazy matches overflow.
class ThreadMatchContext {
public:
  ThreadMatchContext()
      : ctx_(pcre2_match_context_create(nullptr)),
        stack_(pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr)) {
    if (ctx_) {
      pcre2_set_match_limit(ctx_, kMatchLimit);
      pcre2_set_depth_limit(ctx_, kDepthLimit);
      pcre2_set_heap_limit(ctx_, kHeapLimitKiB);
      if (stack_)
        pcre2_jit_stack_assign(ctx_, nullptr, stack_);
    }
  }
  ~ThreadMatchContext() {
    pcre2_match_context_free(ctx_);
    pcre2_jit_stack_free(stack_);
  }
  ThreadMatchContext(const ThreadMatchContext &) = delete;
  ThreadMatchContext &operator=(const ThreadMatchContext &) = delete;
  pcre2_match_context *get() const { return ctx_; }

private:
  pcre2_match_context *ctx_;
  pcre2_jit_stack *stack_;
};

pcre2_match_context *matchContext() {
  thread_local ThreadMatchContext ctx;
  return ctx.get();
}


bool isAscii(QStringView s) {
  for (QChar c : s)
    if (c.unicode() >= 0x80)
      return false;
  return true;
}

// Encodes a piece of the subject; ASCII (addresses, markup) skips the codec.
QByteArray encodePiece(QStringView s) {
  if (isAscii(s)) {
    QByteArray out(s.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i)
      out[i] = char(s[i].unicode());
    return out;
  }
  return codec::encode(s);
}

} // namespace

struct Regex::Code {
  pcre2_code *code = nullptr;
  ~Code() { pcre2_code_free(code); }
};

Regex::Regex(QByteArrayView gbkPattern) { compile(codec::decode(gbkPattern)); }

Regex::Regex(QStringView pattern) { compile(pattern); }

Regex::~Regex() { delete code_; }

Regex::Regex(Regex &&other) noexcept
    : code_(std::exchange(other.code_, nullptr)), groups_(other.groups_),
      error_(std::move(other.error_)) {}

Regex &Regex::operator=(Regex &&other) noexcept {
  if (this != &other) {
    delete code_;
    code_ = std::exchange(other.code_, nullptr);
    groups_ = other.groups_;
    error_ = std::move(other.error_);
  }
  return *this;
}

QString Regex::translate(QStringView p) {
  QString out;
  out.reserve(p.size() + 16);
  // The class being copied: where its "[" stands in out, whether it is negated, and whether it
  // holds \s and \S (PCRE2's \S inside a class would take U+3000 for a non-space).
  bool inClass = false;
  qsizetype classStart = 0;
  bool negated = false, hasSpace = false, hasNonSpace = false;
  const qsizetype n = p.size();
  for (qsizetype i = 0; i < n; ++i) {
    QChar c = p[i];
    if (c == u'\\') {
      if (i + 1 >= n) {
        out += c; // a trailing backslash: PCRE2 reports it as an error, as ECMAScript does
        break;
      }
      QChar e = p[++i];
      char16_t u = e.unicode();
      if (u == u's') {
        hasSpace = hasSpace || inClass;
        out += inClass ? QStringLiteral("\\s") : QStringLiteral("[\\s");
        out += QStringView(kExtraSpace);
        if (!inClass)
          out += u']';
      } else if (u == u'S') {
        if (inClass) {
          hasNonSpace = true; // added when the class closes
        } else {
          out += QStringLiteral("[^\\s");
          out += QStringView(kExtraSpace);
          out += u']';
        }
      } else if (u == u'v') {
        out += QStringLiteral("\\u000b"); // vertical tab; PCRE2's \v is a class
      } else if (u == u'c') {
        // A control escape needs a letter; inside a class a digit or "_" also works (its
        // code modulo 32). Followed by anything else the backslash is a literal one and "c"
        // an ordinary character, so no PCRE2 escape can follow it in.
        const char16_t next = i + 1 < n ? p[i + 1].unicode() : 0;
        const bool letter = (next >= u'a' && next <= u'z') || (next >= u'A' && next <= u'Z');
        if (letter) {
          out += QStringLiteral("\\c") + QChar(next);
          ++i;
        } else if (inClass && ((next >= u'0' && next <= u'9') || next == u'_')) {
          out += QStringLiteral("\\x%1").arg(next % 32, 2, 16, QLatin1Char('0'));
          ++i;
        } else {
          out += QStringLiteral("\\\\c");
        }
      } else if ((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z')) {
        // Letters that are escapes in ECMAScript keep their meaning; every other letter is an
        // identity escape there (PCRE2 gives many of them meanings of its own, \Q \E \K \R …).
        static const QString kEsLetters = QStringLiteral("bBdDwWfnrtxu");
        if (kEsLetters.contains(e))
          out += u'\\', out += e;
        else
          out += e;
      } else {
        out += u'\\';
        out += e;
        if (e.isHighSurrogate() && i + 1 < n)
          out += p[++i];
      }
      continue;
    }
    if (inClass) {
      if (c == u'[') {
        out += QStringLiteral("\\["); // literal in ECMAScript; PCRE2 would read "[:" as POSIX
        continue;
      }
      if (c != u']') {
        out += c;
        continue;
      }
      inClass = false;
      if (hasNonSpace && hasSpace) {
        out += QStringLiteral("\\S]"); // every character
      } else if (hasNonSpace) {
        // The class's other members, or (negated: and not) anything but ECMAScript space.
        QString body = out.mid(classStart + (negated ? 2 : 1));
        if (body.startsWith(u'^'))
          body.prepend(u'\\');
        out.truncate(classStart);
        const QString space = QStringLiteral("\\s") + QString::fromUtf16(kExtraSpace);
        if (negated)
          out += QStringLiteral("(?:(?![") + body + QStringLiteral("])[") + space + QStringLiteral("])");
        else
          out += QStringLiteral("(?:[") + body + QStringLiteral("]|[^") + space + QStringLiteral("])");
      } else {
        out += c;
      }
      continue;
    }
    if (c == u'[') {
      inClass = true;
      classStart = out.size();
      negated = hasSpace = hasNonSpace = false;
      out += c;
      // "[]" and "[^]" are the empty class and the any-character class in ECMAScript.
      if (i + 1 < n && p[i + 1] == u'^') {
        negated = true;
        out += p[++i];
      }
      if (i + 1 < n && p[i + 1] == u']') {
        out += p[++i];
        inClass = false;
      }
      continue;
    }
    out += c;
  }
  return out;
}

void Regex::compile(QStringView pattern) {
  QString translated = QString::fromUtf16(kWalkCallout) + translate(pattern);
  pcre2_compile_context *cctx = pcre2_compile_context_create(nullptr);
  if (cctx)
    pcre2_set_newline(cctx, PCRE2_NEWLINE_LF);
  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  pcre2_code *code =
      pcre2_compile(reinterpret_cast<PCRE2_SPTR>(translated.utf16()), PCRE2_SIZE(translated.size()),
                    kCompileOptions, &errorCode, &errorOffset, cctx);
  pcre2_compile_context_free(cctx);
  if (!code) {
    PCRE2_UCHAR buffer[256];
    int len = pcre2_get_error_message(errorCode, buffer, 256);
    error_ = len > 0 ? QString::fromUtf16(reinterpret_cast<const char16_t *>(buffer), len)
                     : QStringLiteral("invalid pattern");
    error_ += QStringLiteral(" at offset %1")
                  .arg(qulonglong(std::max<PCRE2_SIZE>(errorOffset, kWalkCalloutLength) -
                                  kWalkCalloutLength));
    return;
  }
  // Without JIT (an unsupported platform) the interpreter runs the same pattern.
  pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
  uint32_t captures = 0;
  pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &captures);
  code_ = new Code;
  code_->code = code;
  groups_ = int(captures);
}

bool Regex::forEach(QStringView subject, const std::function<bool(const Spans &)> &visit) const {
  if (!code_)
    return true;
  pcre2_match_data *md = pcre2_match_data_create_from_pattern(code_->code, nullptr);
  if (!md)
    return false;
  const auto *s = reinterpret_cast<PCRE2_SPTR>(subject.utf16());
  const auto len = PCRE2_SIZE(subject.size());
  const int pairs = groups_ + 1;
  std::vector<qsizetype> ovec(size_t(pairs) * 2);
  PCRE2_SIZE offset = 0;
  uint32_t options = 0;
  bool complete = true;
  WalkBudget budget(walkTimeLimitNs.load(std::memory_order_relaxed));
  pcre2_match_context *ctx = matchContext();
  while (offset <= len) {
    // Set before every call: a visit may run a walk of its own on this thread.
    if (ctx)
      pcre2_set_callout(ctx, onCallout, &budget);
    int rc = pcre2_match(code_->code, s, len, offset, options, md, ctx);
    // The subject's UTF-16 is checked once; later searches start on character boundaries.
    options |= PCRE2_NO_UTF_CHECK;
    if (rc == PCRE2_ERROR_NOMATCH)
      break;
    if (rc < 0) {
      complete = false;
      break;
    }
    const PCRE2_SIZE *ov = pcre2_get_ovector_pointer(md);
    for (int k = 0; k < pairs; ++k) {
      bool set = k < rc && ov[2 * k] != PCRE2_UNSET;
      ovec[size_t(2 * k)] = set ? qsizetype(ov[2 * k]) : -1;
      ovec[size_t(2 * k + 1)] = set ? qsizetype(ov[2 * k + 1]) : -1;
    }
    Spans spans{ovec.data(), pairs};
    if (!visit(spans))
      break;
    PCRE2_SIZE start = ov[0], end = ov[1];
    if (end > start) {
      offset = end;
    } else {
      // An empty match: the next search starts one character on (both halves of a pair).
      offset = end + 1;
      if (end < len && QChar::isHighSurrogate(subject[qsizetype(end)].unicode()) && end + 1 < len &&
          QChar::isLowSurrogate(subject[qsizetype(end + 1)].unicode()))
        offset = end + 2;
    }
  }
  pcre2_match_data_free(md);
  return complete;
}

void Regex::setWalkTimeLimit(std::chrono::milliseconds limit) {
  walkTimeLimitNs.store(qint64(limit.count()) * 1000 * 1000, std::memory_order_relaxed);
}

std::chrono::milliseconds Regex::walkTimeLimit() {
  return std::chrono::milliseconds(walkTimeLimitNs.load(std::memory_order_relaxed) / (1000 * 1000));
}

RegexMatch Regex::toMatch(QStringView subject, const Spans &spans, int groups) {
  RegexMatch m;
  m.value = encodePiece(subject.sliced(spans.start(0), spans.end(0) - spans.start(0)));
  m.groups.reserve(groups);
  for (int k = 1; k <= groups; ++k) {
    if (spans.start(k) < 0)
      m.groups.append(QByteArray());
    else
      m.groups.append(encodePiece(subject.sliced(spans.start(k), spans.end(k) - spans.start(k))));
  }
  return m;
}

QList<RegexMatch> Regex::matchAll(QByteArrayView gbkSubject) const {
  QList<RegexMatch> out;
  if (!code_)
    return out;
  const QString subject = codec::decode(gbkSubject);
  bool complete = forEach(subject, [&](const Spans &spans) {
    out.append(toMatch(subject, spans, groups_));
    return true;
  });
  if (!complete)
    out.clear();
  return out;
}

std::optional<RegexMatch> Regex::matchFirst(QByteArrayView gbkSubject) const {
  if (!code_)
    return std::nullopt;
  const QString subject = codec::decode(gbkSubject);
  std::optional<RegexMatch> out;
  forEach(subject, [&](const Spans &spans) {
    out = toMatch(subject, spans, groups_);
    return false;
  });
  return out;
}

QByteArray Regex::replaceAll(QByteArrayView gbkSubject, QByteArrayView gbkLiteral) const {
  if (!code_)
    return gbkSubject.toByteArray();
  return codec::encode(TextMatch::replaceAll(*this, codec::decode(gbkSubject), codec::decode(gbkLiteral)));
}

} // namespace inkwren
