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

QString ReadingPage::chapterHtml(const ChapterFiles &files, const QString &bookId,
                                 const QString &chapterId) {
  return codec::decode(stohtml(files.readChapter(bookId, chapterId)));
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

QString ReadingPage::fillBody(const QString &body, const QString &title, const QString &content) {
  QString h = crlfLines(body);
  h.replace(QLatin1String("[[title]]"), title);
  h = crlfLines(h);
  h.replace(QLatin1String("[[content]]"), content);
  return h;
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
  return page.left(start) + fillBody(page.mid(start, end - start), title, content) +
         page.mid(end);
}

} // namespace inkwren
