// The template editor's reading and writing of the template's style values.
#include "reader/templatestyle.h"

#include "core/codec.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace inkwren;

namespace {

QString shippedTemplate() {
  QFile f(QStringLiteral(INKWREN_SOURCE_DATA_DIR "/book/bank.html"));
  EXPECT_TRUE(f.open(QIODevice::ReadOnly));
  return codec::decode(f.readAll());
}

TEST(TemplateStyle, TheShippedTemplateHoldsTheDefaults) {
  const QString html = shippedTemplate();
  EXPECT_TRUE(html.contains(QLatin1String("[[title]]")));
  EXPECT_TRUE(html.contains(QLatin1String("[[content]]")));
  EXPECT_EQ(TemplateStyle::read(html), TemplateStyle::defaults());
  // Writing the values it holds changes nothing.
  EXPECT_EQ(TemplateStyle::defaults().write(html), html);
}

TEST(TemplateStyle, WritingChangesOnlyTheValues) {
  const QString html = QStringLiteral(
      "<style>\r\nbody{background:#FFFFFF;font-family:宋体;font-size:12pt;color:#000000;"
      "line-height:130%;font-weight:normal;}\r\n.bookname{font-family:宋体;font-size:19pt;"
      "color:#000000;line-height:130%;font-weight:bold;}\r\nhr{color:#FF9900;height:1pt;}\r\n"
      "body { margin: 0; }\r\n</style>");
  TemplateStyle s = TemplateStyle::read(html);
  EXPECT_EQ(s.bodySize, QStringLiteral("12"));
  EXPECT_EQ(s.bodyColor, QStringLiteral("#000000"));
  EXPECT_EQ(s.bodyHeight, QStringLiteral("130"));
  EXPECT_EQ(s.lineSize, QStringLiteral("1"));
  s.background = QStringLiteral("#202020");
  s.bodySize = QStringLiteral("14");
  s.bodyBold = true;
  s.headFont = QStringLiteral("Noto Serif CJK SC");
  s.headHeight = QStringLiteral("150");
  s.lineColor = QStringLiteral("#00ff00");
  s.lineSize = QStringLiteral("2");
  EXPECT_EQ(s.write(html),
            QStringLiteral(
                "<style>\r\nbody{background:#202020;font-family:宋体;font-size:14pt;color:#000000;"
                "line-height:130%;font-weight:bold;}\r\n.bookname{font-family:Noto Serif CJK SC;"
                "font-size:19pt;color:#000000;line-height:150%;font-weight:bold;}\r\n"
                "hr{color:#00ff00;height:2pt;}\r\nbody { margin: 0; }\r\n</style>"));
}

TEST(TemplateStyle, GetpregAndReppreg) {
  const QString body = QStringLiteral("body{font-size:12pt;color:#000000;}");
  const QString size = QStringLiteral("body{(.*?)font-size:(.*?)(;|})");
  EXPECT_EQ(TemplateStyle::getpreg(body, QStringLiteral("body{(.*?)font-size:(.*?)(pt|px|})"), 1),
            QStringLiteral("12"));
  EXPECT_EQ(TemplateStyle::getpreg(body, QStringLiteral("hr{(.*?)color:(.*?)(;|})"), 1), QString());
  const struct {
    QString text, pattern, value, expected;
  } cases[] = {
      {body, size, QStringLiteral("14pt"), QStringLiteral("body{font-size:14pt;color:#000000;}")},
      // The same value twice on one line: only the property's own value changes.
      {QStringLiteral("body{background:#000000;color:#000000;}"),
       QStringLiteral("body{(.*?)color:(.*?)(;|})"), QStringLiteral("#ffffff"),
       QStringLiteral("body{background:#000000;color:#ffffff;}")},
      {QStringLiteral("body{font-size:12pt;line-height:12pt;}"), size, QStringLiteral("9pt"),
       QStringLiteral("body{font-size:9pt;line-height:12pt;}")},
      // An empty value is never replaced; neither is anything without a match.
      {QStringLiteral("body{color:;}"), QStringLiteral("body{(.*?)color:(.*?)(;|})"),
       QStringLiteral("#ffffff"), QStringLiteral("body{color:;}")},
      {QStringLiteral("body {color:#000000;}"), QStringLiteral("body{(.*?)color:(.*?)(;|})"),
       QStringLiteral("#ffffff"), QStringLiteral("body {color:#000000;}")},
      // Property names match in any case; a rule broken over two lines is not found.
      {QStringLiteral("BODY{FONT-SIZE:12pt;}"), size, QStringLiteral("14pt"),
       QStringLiteral("BODY{FONT-SIZE:14pt;}")},
      {QStringLiteral("body{\r\nfont-size:12pt;}"), size, QStringLiteral("14pt"),
       QStringLiteral("body{\r\nfont-size:12pt;}")},
      // A rule written twice changes in both places.
      {QStringLiteral("hr{height:1pt;}\r\nhr{height:1pt;}"),
       QStringLiteral("hr{(.*?)height:(.*?)(;|})"), QStringLiteral("3pt"),
       QStringLiteral("hr{height:3pt;}\r\nhr{height:3pt;}")},
  };
  for (const auto &c : cases)
    EXPECT_EQ(TemplateStyle::reppreg(c.text, c.pattern, 1, c.value), c.expected)
        << c.text.toStdString();
}

} // namespace
