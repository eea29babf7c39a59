#include "rules/textmatch.h"

namespace inkwren {
namespace {

TextMatch fromSpans(QStringView subject, const Regex::Spans &spans) {
  TextMatch m;
  m.value = subject.sliced(spans.start(0), spans.end(0) - spans.start(0)).toString();
  m.groups.reserve(spans.pairs - 1);
  for (int k = 1; k < spans.pairs; ++k)
    m.groups.append(spans.start(k) < 0
                        ? QString()
                        : subject.sliced(spans.start(k), spans.end(k) - spans.start(k)).toString());
  return m;
}

} // namespace

std::optional<TextMatch> TextMatch::first(const Regex &re, QStringView subject) {
  std::optional<TextMatch> out;
  re.forEach(subject, [&](const Regex::Spans &spans) {
    out = fromSpans(subject, spans);
    return false;
  });
  return out;
}

std::optional<QList<TextMatch>> TextMatch::all(const Regex &re, QStringView subject) {
  QList<TextMatch> out;
  bool complete = re.forEach(subject, [&](const Regex::Spans &spans) {
    out.append(fromSpans(subject, spans));
    return true;
  });
  if (!complete)
    return std::nullopt;
  return out;
}

QString TextMatch::replaceAll(const Regex &re, QStringView subject, QStringView literal) {
  QString out;
  qsizetype copied = 0;
  bool any = false;
  bool complete = re.forEach(subject, [&](const Regex::Spans &spans) {
    if (!any)
      out.reserve(subject.size());
    any = true;
    out += subject.sliced(copied, spans.start(0) - copied);
    out += literal;
    copied = spans.end(0);
    return true;
  });
  if (!complete || !any)
    return subject.toString();
  out += subject.sliced(copied);
  return out;
}

} // namespace inkwren
