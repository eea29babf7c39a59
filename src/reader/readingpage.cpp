#include "reader/readingpage.h"

#include "core/codec.h"
#include "core/datafolder.h"
#include "rules/urlparams.h"
#include "shelf/chapterfiles.h"

#include <QRegularExpression>

namespace inkwren {

QString ReadingPage::templatePath(const DataFolder &folder) {
  return folder.path(QStringLiteral("book/bank.html"));
}

QUrl ReadingPage::templateUrl(const DataFolder &folder, const QString &viewtype) {
  QUrl url = QUrl::fromLocalFile(templatePath(folder));
  url.setQuery(QStringLiteral("viewtype=") + viewtype);
  return url;
}

QString ReadingPage::viewtype(const QUrl &url) {
  return UrlParams::geturlcans(url.toString(), QStringLiteral("viewtype"));
}

QByteArray ReadingPage::stohtml(QByteArrayView gbk) {
  static const QByteArray kIndent = QByteArrayLiteral("&nbsp;&nbsp;&nbsp;&nbsp;");
  QByteArray html = gbk.toByteArray();
  html.replace("\r\n", "<br>" + kIndent);
  if (html.size() > 4 && !html.startsWith("<img"))
    html.prepend(kIndent);
  return html;
}

QString ReadingPage::stohtmlText(QByteArrayView gbk) {
  static const QLatin1String kIndent("&nbsp;&nbsp;&nbsp;&nbsp;");
  static const QLatin1String kBreak("<br>&nbsp;&nbsp;&nbsp;&nbsp;");
  const QString text = codec::decode(gbk);
  const qsizetype breaks = text.count(QLatin1String("\r\n"));
  // The decision is taken on the bytes, as stohtml does: a CR LF turns into 28 bytes, and the
  // result starts with "<img" exactly when the text does ("<br>" can't begin it).
  const bool indent = gbk.size() + 26 * breaks > 4 && !gbk.startsWith("<img");
  QString html;
  html.reserve(text.size() + breaks * (kBreak.size() - 2) + (indent ? kIndent.size() : 0));
  if (indent)
    html += kIndent;
  qsizetype from = 0;
  for (qsizetype at; (at = text.indexOf(QLatin1String("\r\n"), from)) >= 0; from = at + 2) {
    html += QStringView(text).mid(from, at - from);
    html += kBreak;
  }
  html += QStringView(text).mid(from);
  return html;
}

QString ReadingPage::chapterHtml(const ChapterFiles &files, const QString &bookId,
                                 const QString &chapterId) {
  return stohtmlText(files.readChapter(bookId, chapterId));
}

QString ReadingPage::crlfLines(const QString &text) {
  if (text.isEmpty())
    return text;
  QString out;
  out.reserve(text.size() + text.size() / 32 + 2);
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == QLatin1Char('\r')) {
      if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
        ++i;
      out += QLatin1String("\r\n");
    } else if (c == QLatin1Char('\n')) {
      out += QLatin1String("\r\n");
    } else {
      out += c;
    }
  }
  if (!out.endsWith(QLatin1String("\r\n")))
    out += QLatin1String("\r\n");
  return out;
}

namespace {

// Appends the body to out with every "[[content]]" replaced, in one pass (the content may be
// megabytes long: it is copied once per placeholder and nothing else is).
void appendFilled(QString &out, const QString &body, const QString &title, const QString &content,
                  qsizetype extra) {
  QString h = ReadingPage::crlfLines(body);
  h.replace(QLatin1String("[[title]]"), title);
  h = ReadingPage::crlfLines(h);
  static const QLatin1String kContent("[[content]]");
  const qsizetype n = h.count(kContent);
  out.reserve(out.size() + h.size() + n * (content.size() - kContent.size()) + extra);
  qsizetype from = 0;
  for (qsizetype at; (at = h.indexOf(kContent, from)) >= 0; from = at + kContent.size()) {
    out += QStringView(h).mid(from, at - from);
    out += content;
  }
  out += QStringView(h).mid(from);
}

} // namespace

QString ReadingPage::fillBody(const QString &body, const QString &title, const QString &content) {
  QString out;
  appendFilled(out, body, title, content, 0);
  return out;
}

QString ReadingPage::fillPage(const QString &page, const QString &title, const QString &content) {
  static const QRegularExpression open(QStringLiteral("<body(\\s[^>]*)?>"),
                                       QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression headEnd(QStringLiteral("</head\\s*>"),
                                          QRegularExpression::CaseInsensitiveOption);
  qsizetype start = 0;
  if (const auto m = open.match(page); m.hasMatch())
    start = m.capturedEnd();
  else if (const auto h = headEnd.match(page); h.hasMatch())
    start = h.capturedEnd();
  qsizetype end = page.lastIndexOf(QLatin1String("</body"), -1, Qt::CaseInsensitive);
  if (end < start)
    end = page.size();
  QString out = page.left(start);
  appendFilled(out, page.mid(start, end - start), title, content, page.size() - end);
  out += QStringView(page).mid(end);
  return out;
}

} // namespace inkwren
