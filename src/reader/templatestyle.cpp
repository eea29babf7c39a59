#include "reader/templatestyle.h"

#include "rules/regex.h"

namespace inkwren {
namespace {

// Reading patterns stop before the unit; writing patterns take the value up to ";" or "}".
struct Patterns {
  const char *read;
  const char *write;
};

constexpr Patterns kBackground{"body{(.*?)background:(.*?)(;|})",
                               "body{(.*?)background:(.*?)(;|})"};
constexpr Patterns kBodyFont{"body{(.*?)font-FAMILY:(.*?)(;|})",
                             "body{(.*?)font-FAMILY:(.*?)(;|})"};
constexpr Patterns kBodySize{"body{(.*?)font-size:(.*?)(pt|px|})",
                             "body{(.*?)font-size:(.*?)(;|})"};
constexpr Patterns kBodyColor{"body{(.*?)color:(.*?)(;|})", "body{(.*?)color:(.*?)(;|})"};
constexpr Patterns kBodyHeight{"body{(.*?)line-height:(.*?)(;|%|})",
                               "body{(.*?)line-height:(.*?)(;|})"};
constexpr Patterns kBodyWeight{"body{(.*?)font-weight:(.*?)(;|})",
                               "body{(.*?)font-weight:(.*?)(;|})"};
constexpr Patterns kHeadFont{"bookname{(.*?)font-FAMILY:(.*?)(;|})",
                             "bookname{(.*?)font-FAMILY:(.*?)(;|})"};
constexpr Patterns kHeadSize{"bookname{(.*?)font-size:(.*?)(pt|px|})",
                             "bookname{(.*?)font-size:(.*?)(;|})"};
constexpr Patterns kHeadColor{"bookname{(.*?)color:(.*?)(;|})", "bookname{(.*?)color:(.*?)(;|})"};
constexpr Patterns kHeadHeight{"bookname{(.*?)line-height:(.*?)(;|%|})",
                               "bookname{(.*?)line-height:(.*?)(;|})"};
constexpr Patterns kHeadWeight{"bookname{(.*?)font-weight:(.*?)(;|})",
                               "bookname{(.*?)font-weight:(.*?)(;|})"};
constexpr Patterns kLineColor{"hr{(.*?)color:(.*?)(;|})", "hr{(.*?)color:(.*?)(;|})"};
constexpr Patterns kLineSize{"hr{(.*?)height:(.*?)(pt|px|})", "hr{(.*?)height:(.*?)(;|})"};

QString get(const QString &html, const Patterns &p) {
  return TemplateStyle::getpreg(html, QString::fromLatin1(p.read), 1);
}

QString weight(bool bold) {
  return bold ? QStringLiteral("bold") : QStringLiteral("normal");
}

} // namespace

TemplateStyle TemplateStyle::defaults() {
  TemplateStyle s;
  s.background = QStringLiteral("#FFFFFF");
  s.bodyFont = QStringLiteral("宋体");
  s.bodySize = QStringLiteral("12");
  s.bodyColor = QStringLiteral("#000000");
  s.bodyHeight = QStringLiteral("130");
  s.bodyBold = false;
  s.headFont = QStringLiteral("宋体");
  s.headSize = QStringLiteral("19");
  s.headColor = QStringLiteral("#000000");
  s.headHeight = QStringLiteral("130");
  s.headBold = true;
  s.lineColor = QStringLiteral("#FF9900");
  s.lineSize = QStringLiteral("1");
  return s;
}

TemplateStyle TemplateStyle::read(const QString &html) {
  TemplateStyle s;
  s.background = get(html, kBackground);
  s.bodyFont = get(html, kBodyFont);
  s.bodySize = get(html, kBodySize);
  s.bodyColor = get(html, kBodyColor);
  s.bodyHeight = get(html, kBodyHeight);
  s.bodyBold = get(html, kBodyWeight).contains(QLatin1String("bold"), Qt::CaseInsensitive);
  s.headFont = get(html, kHeadFont);
  s.headSize = get(html, kHeadSize);
  s.headColor = get(html, kHeadColor);
  s.headHeight = get(html, kHeadHeight);
  s.headBold = get(html, kHeadWeight).contains(QLatin1String("bold"), Qt::CaseInsensitive);
  s.lineColor = get(html, kLineColor);
  s.lineSize = get(html, kLineSize);
  return s;
}

QString TemplateStyle::write(QString html) const {
  const std::pair<const Patterns *, QString> values[] = {
      {&kBackground, background},
      {&kBodyFont, bodyFont},
      {&kBodySize, bodySize + QStringLiteral("pt")},
      {&kBodyColor, bodyColor},
      {&kBodyHeight, bodyHeight + QStringLiteral("%")},
      {&kBodyWeight, weight(bodyBold)},
      {&kHeadFont, headFont},
      {&kHeadSize, headSize + QStringLiteral("pt")},
      {&kHeadColor, headColor},
      {&kHeadHeight, headHeight + QStringLiteral("%")},
      {&kHeadWeight, weight(headBold)},
      {&kLineColor, lineColor},
      {&kLineSize, lineSize + QStringLiteral("pt")},
  };
  for (const auto &[p, value] : values)
    html = reppreg(html, QString::fromLatin1(p->write), 1, value);
  return html;
}

QString TemplateStyle::getpreg(const QString &text, const QString &pattern, int group) {
  const Regex re{QStringView(pattern)};
  QString out;
  re.forEach(text, [&](const Regex::Spans &s) {
    const int k = group + 1;
    if (k < s.pairs && s.start(k) >= 0)
      out = text.mid(s.start(k), s.end(k) - s.start(k));
    return false;
  });
  return out;
}

QString TemplateStyle::reppreg(const QString &text, const QString &pattern, int group,
                               const QString &newValue) {
  const Regex re{QStringView(pattern)};
  QString whole, changed;
  re.forEach(text, [&](const Regex::Spans &s) {
    const int k = group + 1;
    if (k >= s.pairs || s.start(k) < 0 || s.end(k) <= s.start(k))
      return false; // no value to replace
    whole = text.mid(s.start(0), s.end(0) - s.start(0));
    // Only the value's own place changes: an equal text elsewhere in the rule (the same colour
    // for background and text, say) is another property's value.
    changed = whole;
    changed.replace(s.start(k) - s.start(0), s.end(k) - s.start(k), newValue);
    return false;
  });
  if (whole.isEmpty())
    return text;
  QString out = text;
  out.replace(whole, changed);
  return out;
}

} // namespace inkwren
