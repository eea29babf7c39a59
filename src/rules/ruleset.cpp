#include "rules/ruleset.h"

#include "core/codec.h"
#include "rules/regex.h"
#include "rules/rulefile.h"
#include "rules/textmatch.h"

namespace inkwren {
namespace {

// The next key candidate: without its first character, then what follows the first "." of the
// rest, or "." when the rest has none. A candidate without any "." stays as it is.
QString nextCandidate(const QString &c) {
  if (!c.contains(u'.'))
    return c;
  QString rest = c.mid(1);
  qsizetype dot = rest.indexOf(u'.');
  return dot >= 0 ? rest.mid(dot + 1) : QStringLiteral(".");
}

// The key as it stands in the record pattern: every character that means something in a
// pattern is escaped, except ".", which the lookup relies on matching any character. So no
// address can add groups, alternatives or repeats to the record pattern.
QString keyPattern(const QString &candidate) {
  QString out;
  out.reserve(candidate.size() * 2);
  for (QChar c : candidate) {
    const char16_t u = c.unicode();
    if (u < 0x80 && u != u'.' && !c.isLetterOrNumber() && u > u' ')
      out += u'\\';
    out += c;
  }
  return out;
}

QString recordPattern(const QString &candidate) {
  QString p = QStringLiteral("<dw><wk>") + keyPattern(candidate) + QStringLiteral("</wk>");
  for (int n = 0; n <= 10; ++n)
    p += QStringLiteral("<s%1>(.*?)</s%1>").arg(n);
  p += QStringLiteral("</dw>");
  return p;
}

} // namespace

RuleSet::RuleSet(QString ruleFilePath)
    : path_(std::move(ruleFilePath)), rules_(std::make_shared<const Rules>()) {}

QByteArray RuleSet::getsetstr(int n) const { return RuleFile::getsetstr(path_, n); }

void RuleSet::loadRules() { setRulestext(getsetstr(1)); }

std::shared_ptr<const RuleSet::Rules> RuleSet::snapshot() const {
  std::lock_guard lock(mutex_);
  return rules_;
}

QByteArray RuleSet::rulestext() const { return snapshot()->gbk; }

void RuleSet::setRulestext(const QByteArray &text) {
  auto next = std::make_shared<const Rules>(Rules{text, codec::decode(text)});
  std::lock_guard lock(mutex_);
  rules_ = std::move(next);
}

QByteArray RuleSet::geturlkey(QByteArrayView address) {
  // On characters: a GBK character's second byte may look like an ASCII letter or "\".
  QString key = codec::decode(address);
  for (QChar &c : key)
    if (c >= u'A' && c <= u'Z')
      c = QChar(char16_t(c.unicode() + 32));
  key.replace(u'\\', u'/');
  key.replace(QStringLiteral("http://"), QStringLiteral("."));
  key.replace(QStringLiteral("https://"), QStringLiteral("."));
  key.replace(QStringLiteral("www"), QStringLiteral("."));
  while (key.contains(QStringLiteral("..")))
    key.replace(QStringLiteral(".."), QStringLiteral("."));
  const qsizetype slash = key.indexOf(u'/');
  if (slash >= 0)
    key.truncate(slash);
  return codec::encode(key);
}

QByteArrayList RuleSet::getdsbykey(const QByteArray &key) const {
  std::shared_ptr<const Rules> rules = snapshot(); // kept alive for the whole lookup
  return getdsbykey(rules->text, key);
}

QByteArrayList RuleSet::getdsbykey(const QString &rulestext, const QByteArray &key) {
  QString candidate = codec::decode(key);
  for (int k = 0; k < 5; ++k) {
    if (k > 0)
      candidate = nextCandidate(candidate);
    Regex re(recordPattern(candidate));
    if (!re.valid())
      return {};
    if (std::optional<TextMatch> m = TextMatch::first(re, rulestext)) {
      QByteArrayList record;
      for (const QString &field : m->groups)
        record.append(shh(codec::encode(field)));
      return record;
    }
    if (candidate == u".")
      break;
  }
  return {};
}

QByteArray RuleSet::shh(QByteArray text) { return text.replace("{{br}}", "\r\n"); }

bool RuleSet::installRules(const QByteArray &file) {
  // A broken download must not replace working rules: the file has to hold the site rules.
  if (!RuleFile::record(file, 1) || !codec::writeFileAtomic(path_, file))
    return false;
  setSsreload(true);
  loadRules();
  return true;
}

} // namespace inkwren
