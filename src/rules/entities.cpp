// Entity decoding (`sun`) of the rule interpreter.
#include "rules/ruleinterpreter.h"

#include "core/codec.h"
#include "rules/textmatch.h"

#include <QCoreApplication>
#include <QJSEngine>
#include <QJSValue>
#include <QSet>

#include <bitset>
#include <memory>

namespace inkwren {
namespace {

const Regex &entityPattern() {
  static const Regex re(QStringView(u"&#([^&]{1,5});"));
  return re;
}

// What "String.fromCharCode(" group ")" gives for a plain number, without an engine: the number
// taken modulo 65536. As in the JavaScript of browsers (and of the script control rules were
// written for), digits with a leading zero are octal when they are all octal digits, else
// decimal; the script engine here would reject them.
std::optional<QString> plainCharCode(const QString &group) {
  if (group.isEmpty())
    return std::nullopt;
  bool octal = group.size() > 1 && group[0] == u'0';
  for (QChar c : group) {
    if (c < u'0' || c > u'9')
      return std::nullopt;
    octal = octal && c <= u'7';
  }
  const quint32 n = group.toUInt(nullptr, octal ? 8 : 10);
  return QString(QChar(char16_t(n & 0xFFFF)));
}

// A string from the engine as it comes back from GBK: a lone surrogate becomes "?".
QString asGbkText(QString s) {
  for (qsizetype i = 0; i < s.size(); ++i) {
    QChar c = s[i];
    if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
      ++i;
    else if (c.isSurrogate())
      s[i] = u'?';
  }
  return s;
}

} // namespace

std::optional<QByteArray> RuleInterpreter::sun(const QByteArray &text) {
  std::optional<QString> out = sun(codec::decode(text));
  if (!out)
    return std::nullopt;
  return codec::encode(*out);
}

std::optional<QString> RuleInterpreter::sun(const QString &input) {
  QString text = input;
  text.replace(QStringLiteral("&ldquo;"), QStringLiteral("\u201C"));
  text.replace(QStringLiteral("&rdquo;"), QStringLiteral("\u201D"));
  std::optional<QList<TextMatch>> matches = TextMatch::all(entityPattern(), text);
  if (!matches || matches->isEmpty())
    return text;

  // Each match in turn replaces every occurrence of its text. When every entity is a plain
  // number and no decoded character can form part of an entity, repeating a text already
  // replaced can't change anything, so each distinct entity is replaced once.
  bool plain = true;
  std::bitset<65536> entityChars;
  QList<QString> results;
  results.reserve(matches->size());
  for (const TextMatch &m : *matches) {
    std::optional<QString> r = plainCharCode(m.groups.value(0));
    if (!r) {
      plain = false;
      break;
    }
    for (QChar c : m.value)
      entityChars.set(c.unicode());
    results.append(asGbkText(*r));
  }
  if (plain) {
    bool safe = true;
    for (const QString &r : results)
      for (QChar c : r)
        safe = safe && !entityChars.test(c.unicode());
    if (safe) {
      QSet<QString> done;
      for (qsizetype i = 0; i < matches->size(); ++i) {
        const QString &value = (*matches)[i].value;
        if (done.contains(value))
          continue;
        done.insert(value);
        text.replace(value, results[i]);
      }
      return text;
    }
  }

  // One script engine for this call, made when the first expression needs it.
  std::unique_ptr<QJSEngine> engine;
  for (const TextMatch &m : *matches) {
    std::optional<QString> r = plainCharCode(m.groups.value(0));
    if (!r) {
      if (!engine) {
        // The engine needs the application object; without it the command fails.
        if (!QCoreApplication::instance())
          return std::nullopt;
        engine = std::make_unique<QJSEngine>();
      }
      QJSValue v = engine->evaluate(QStringLiteral("String.fromCharCode(") + m.groups.value(0) +
                                    QStringLiteral(")"));
      if (v.isError())
        continue;
      r = v.toString();
    }
    text.replace(m.value, asGbkText(*r));
  }
  return text;
}

} // namespace inkwren
