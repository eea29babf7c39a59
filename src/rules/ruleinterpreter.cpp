#include "rules/ruleinterpreter.h"

#include "core/codec.h"
#include "rules/fetcher.h"
#include "rules/textmatch.h"
#include "rules/webpath.h"

namespace inkwren {
namespace {

// The shape of a command line: code, first argument, second argument.
const Regex &commandShape() {
  static const Regex shape(QStringView(u"{{(.*?)}}(.*?){{t}}(.*)"));
  return shape;
}

// Plain, case-sensitive replacement of every occurrence; an empty old text changes nothing.
void replaceAll(QString &text, const QString &before, const QString &after) {
  if (!before.isEmpty())
    text.replace(before, after, Qt::CaseSensitive);
}

// The GBK bytes the decoded text stands for, read as GBK and written as UTF-8. A byte that was
// no GBK character stays the byte it was.
QByteArray toUtf8KeepingBytes(const QString &text) {
  QByteArray out;
  out.reserve(text.size() * 3);
  qsizetype run = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    char16_t u = text[i].unicode();
    if (u < codec::kEscapeBase || u > codec::kEscapeBase + 0x7F)
      continue;
    out += QStringView(text).sliced(run, i - run).toUtf8();
    out += char(0x80 + (u - codec::kEscapeBase));
    run = i + 1;
  }
  out += QStringView(text).sliced(run).toUtf8();
  return out;
}

// Bounds of a regular-expression replacement with a "$" template, where each match replaces
// every occurrence of its text in the whole output: the output may not grow past
// kGrowthFactor times the text (or kMinOutputLimit, whichever is larger), and the
// replacements may not scan more than kWorkLimit characters in all.
constexpr qsizetype kGrowthFactor = 16;
constexpr qsizetype kMinOutputLimit = qsizetype(1) << 20;
constexpr qint64 kWorkLimit = qint64(1) << 30;

} // namespace

QByteArray RuleInterpreter::guizstr(const QByteArray &text, const QByteArray &rule) const {
  if (rule.isEmpty())
    return text;
  return codec::encode(guizstrPage(text, rule));
}

namespace {

// The command lines of a rule expression, in order (CR LF, CR and LF all end a line).
QStringList commandLines(const QString &rule) {
  QString lines = rule;
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  lines.replace(u'\r', u'\n');
  return lines.split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

QString RuleInterpreter::run(QString current, const QStringList &lines, qsizetype from) const {
  for (qsizetype i = from; i < lines.size(); ++i) {
    std::optional<TextMatch> shape = TextMatch::first(commandShape(), lines[i]);
    if (!shape)
      continue;
    std::optional<QString> next = getps(current, shape->groups.value(0),
                                        hcs(shape->groups.value(1)), hcs(shape->groups.value(2)));
    if (!next)
      break;
    current = std::move(*next);
  }
  return current;
}

QString RuleInterpreter::guizstr(const QString &text, const QString &rule) const {
  if (rule.isEmpty())
    return text;
  return run(text, commandLines(rule), 0);
}

QString RuleInterpreter::guizstrPage(const QByteArray &page, const QByteArray &rule) const {
  const QStringList lines = commandLines(codec::decode(rule));
  // A rule that begins by reading the page as UTF-8 gets it decoded once, as UTF-8: the same
  // text as decoding it as GBK and encoding it back first, since that round trip keeps every
  // byte.
  for (qsizetype i = 0; i < lines.size(); ++i) {
    std::optional<TextMatch> shape = TextMatch::first(commandShape(), lines[i]);
    if (!shape)
      continue;
    const QString selector = hcs(shape->groups.value(1));
    if (shape->groups.value(0) == u"0" && (selector == u"1" || selector == u"2")) {
      std::optional<QString> decoded = codec::decodeUtf8Strict(page);
      return run(decoded ? *decoded : QString(), lines, i + 1);
    }
    break;
  }
  return run(codec::decode(page), lines, 0);
}

QString RuleInterpreter::hcs(QString argument) {
  argument.replace(QStringLiteral("#10"), QStringLiteral("\n"));
  argument.replace(QStringLiteral("#13"), QStringLiteral("\r"));
  return argument;
}

std::optional<QString> RuleInterpreter::getps(const QString &text, const QString &code,
                                              QString first, QString second) const {
  const QString webpath = codec::decode(fetcher_.webpath().get());
  replaceAll(first, QStringLiteral("[webpath]"), webpath);
  replaceAll(second, QStringLiteral("[webpath]"), webpath);
  if (code == u"0") {
    bool failed = false;
    QString out = convert(text, first, &failed);
    if (failed)
      return std::nullopt;
    return out;
  }
  if (code == u"1") {
    QStringView kept = text;
    if (!first.isEmpty()) {
      qsizetype at = kept.indexOf(first);
      if (at >= 0)
        kept = kept.sliced(at);
    }
    if (!second.isEmpty()) {
      qsizetype at = kept.indexOf(second);
      if (at >= 0)
        kept = kept.first(at + second.size());
    }
    return kept.toString();
  }
  if (code == u"2") {
    QString out = text;
    replaceAll(out, first, second);
    return out;
  }
  if (code == u"3")
    return pregplace(text, first, second);
  if (code == u"4")
    return openhx(text, first, second);
  return text;
}

QString RuleInterpreter::convert(const QString &text, const QString &selector, bool *failed) const {
  if (selector == u"0" || selector == u"3")
    return codec::decode(toUtf8KeepingBytes(text));
  if (selector == u"1" || selector == u"2") {
    // The bytes are read as UTF-8; a malformed or truncated sequence anywhere empties the text.
    std::optional<QString> decoded = codec::decodeUtf8Strict(codec::encode(text));
    return decoded ? *decoded : QString();
  }
  if (selector == u"4") {
    std::optional<QString> decoded = sun(text);
    if (!decoded) {
      *failed = true;
      return {};
    }
    return *decoded;
  }
  return text;
}

QString RuleInterpreter::pregplace(const QString &text, const QString &pattern,
                                   const QString &templ) const {
  Regex re(pattern);
  if (!re.valid())
    return text;
  if (!templ.contains(u'$'))
    return TextMatch::replaceAll(re, text, templ);
  std::optional<QList<TextMatch>> matches = TextMatch::all(re, text);
  if (!matches)
    return text;
  // Past a bound the command gives up and leaves the text as it was: a template that repeats
  // its match ("$1$1") doubles the output with every match.
  const qsizetype outputLimit = std::max(text.size() * kGrowthFactor, kMinOutputLimit);
  qint64 work = 0;
  QString out = text;
  for (const TextMatch &m : *matches) {
    work += out.size();
    if (work > kWorkLimit)
      return text;
    replaceAll(out, m.value, regsp(templ, m.groups));
    if (out.size() > outputLimit)
      return text;
  }
  return out;
}

QString RuleInterpreter::openhx(const QString &text, const QString &pattern,
                                const QString &templ) const {
  Regex re(pattern);
  if (!re.valid())
    return {};
  std::optional<TextMatch> m = TextMatch::first(re, text);
  if (!m)
    return {};
  const QString address = regsp(templ, m->groups);
  if (address.isEmpty())
    return {};
  return codec::decode(fetcher_.opurl(codec::encode(address), {}, 0, 1));
}

QString RuleInterpreter::regsp(const QString &templ, const QStringList &groups) const {
  QString out = templ;
  replaceAll(out, QStringLiteral("[webpath]"), codec::decode(fetcher_.webpath().get()));
  for (qsizetype k = groups.size(); k >= 1; --k)
    out.replace(QLatin1Char('$') + QString::number(k), groups[k - 1]);
  return out;
}

QByteArray RuleInterpreter::regsp(const QByteArray &templ, const RegexMatch &match) const {
  QStringList groups;
  groups.reserve(match.groups.size());
  for (const QByteArray &g : match.groups)
    groups.append(codec::decode(g));
  return codec::encode(regsp(codec::decode(templ), groups));
}

} // namespace inkwren
