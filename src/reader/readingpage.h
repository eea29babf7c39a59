#pragma once
// The reading page: the template "book/bank.html" with the placeholders "[[title]]" and
// "[[content]]" in its body, filled with a chapter's name and its text turned into HTML.
//
// The chapter text goes into the page as HTML, unescaped (pictures written by the download are
// <img> tags); the view that shows the page runs no script in it and lets it reach no file
// outside the template's folder (see reader/ui/htmlviews.h).
//
// Pure functions over text, any thread.
#include <QByteArray>
#include <QString>
#include <QUrl>

namespace inkwren {

class ChapterFiles;
class DataFolder;

class ReadingPage {
public:
  // The template's place in the data folder, and its address with a `viewtype` ("zjview",
  // "next", "last"), which tells the page's load handler what to do.
  static QString templatePath(const DataFolder &folder);
  static QUrl templateUrl(const DataFolder &folder,
                          const QString &viewtype = QStringLiteral("zjview"));
  // The `viewtype` of an address; empty when it has none.
  static QString viewtype(const QUrl &url);

  // Text to HTML: every CR LF becomes "<br>" and four non-breaking spaces; a result longer than
  // 4 bytes that does not begin with "<img" (exact case) gets four more in front.
  static QByteArray stohtml(QByteArrayView gbk);
  // The same, decoded: codec::decode(stohtml(gbk)), done on the decoded text at once.
  static QString stohtmlText(QByteArrayView gbk);
  // The chapter file turned into HTML (empty for a missing file).
  static QString chapterHtml(const ChapterFiles &files, const QString &bookId,
                             const QString &chapterId);

  // Fills a body: every "[[title]]" becomes title and every "[[content]]" content (exact case,
  // no escaping); the body is first brought to lines ended by CR LF, as before each step.
  static QString fillBody(const QString &body, const QString &title, const QString &content);
  // Fills a whole page: only its body (between <body…> and </body>, any case) is touched;
  // placeholders in the head or elsewhere stay. A page without a body tag is filled after its
  // </head>, or as a whole when it has none.
  static QString fillPage(const QString &page, const QString &title, const QString &content);

  // Lines ended by CR LF: every CR LF, lone CR and lone LF becomes CR LF, and a text that does
  // not end with a line break gets one (empty text stays empty).
  static QString crlfLines(const QString &text);
};

} // namespace inkwren
