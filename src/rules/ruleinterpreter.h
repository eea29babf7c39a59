#pragma once
// The rule-expression language of site rules and search-site records: a rule expression is
// lines of commands "{{" code "}}" first argument "{{t}}" second argument, each turning the
// text into a new one (0 character-set conversion, 1 cut, 2 replace, 3 regular-expression
// replacement, 4 follow a link); templates build a text from a match's groups ("$k",
// "[webpath]").
//
// Texts are GBK bytes at the edges (the QByteArray overloads). Inside, a rule expression runs on
// the decoded text (QString, lossless, see codec.h), so a plain search never hits the second
// byte of a GBK character and the page is decoded once, not once per command. The QString
// overloads take and give such decoded texts.
//
// Threads: any, also several at once; an interpreter holds only a reference to the fetcher
// (and through it `webpath`), which must outlive it. Command 4 fetches a page and so, on the
// main thread, processes events while it waits (see HttpClient).
#include "rules/regex.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace inkwren {

class Fetcher;

class RuleInterpreter {
public:
  explicit RuleInterpreter(const Fetcher &fetcher) : fetcher_(fetcher) {}

  // Runs a rule expression over a text. A failing command ends the expression with the text as
  // it stood before that command; an empty rule expression returns the text unchanged.
  QByteArray guizstr(const QByteArray &text, const QByteArray &rule) const;
  QString guizstr(const QString &text, const QString &rule) const;
  // A fetched page (bytes as they came) through a rule expression, giving the decoded text:
  // the same as guizstr on the page, without a round trip through GBK for a UTF-8 page.
  QString guizstrPage(const QByteArray &page, const QByteArray &rule) const;

  // One command; nullopt when it fails (entity decoding without a script engine).
  std::optional<QString> getps(const QString &text, const QString &code, QString first,
                               QString second) const;

  // "#10" becomes LF, then "#13" becomes CR.
  static QString hcs(QString argument);

  // Command 3. An invalid pattern leaves the text as it was. With a "$" template each match
  // replaces every occurrence of its text in the whole output; when that would make the
  // output more than 16 times the text (and over a million characters) or scan more than
  // 2^30 characters in all, the text is left as it was.
  QString pregplace(const QString &text, const QString &pattern, const QString &templ) const;
  // Command 4: the page at the address the first match expands to; empty when nothing matches,
  // the pattern is invalid or the expansion is empty. `webpath` then belongs to that address.
  QString openhx(const QString &text, const QString &pattern, const QString &templ) const;

  // Template expansion: "[webpath]" by `webpath`, then "$k" by group k for k from the number of
  // groups down to 1 ("$12" is group 12 only with 12 groups or more).
  QString regsp(const QString &templ, const QStringList &groups) const;
  QByteArray regsp(const QByteArray &templ, const RegexMatch &match) const;

  // Entity decoding: &ldquo; and &rdquo;, then every "&#" expression ";" evaluated as
  // String.fromCharCode(expression) by a JavaScript engine. An entity that does not evaluate
  // stays as it is. nullopt when no script engine could be made.
  static std::optional<QString> sun(const QString &text);
  static std::optional<QByteArray> sun(const QByteArray &text);

private:
  // Runs the command lines from index `from` on over the text.
  QString run(QString current, const QStringList &lines, qsizetype from) const;
  QString convert(const QString &text, const QString &selector, bool *failed) const;

  const Fetcher &fetcher_;
};

} // namespace inkwren
