#pragma once
// A regular-expression match over decoded text (QString), for code that keeps pages decoded
// while it works on them (the rule interpreter). RegexMatch is the same over GBK bytes.
//
// Threads: any.
#include "rules/regex.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace inkwren {

struct TextMatch {
  QString value;
  QStringList groups; // groups[k - 1] is group k; a group that took no part is empty

  // The first match; nullopt when there is none (or the pattern is invalid, or a limit hit).
  static std::optional<TextMatch> first(const Regex &re, QStringView subject);
  // All matches; nullopt when a limit was hit (the search counts as finding nothing).
  static std::optional<QList<TextMatch>> all(const Regex &re, QStringView subject);
  // Every match replaced by the literal text; the subject unchanged when nothing matched or a
  // limit was hit.
  static QString replaceAll(const Regex &re, QStringView subject, QStringView literal);
};

} // namespace inkwren
