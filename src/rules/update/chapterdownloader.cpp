#include "rules/update/chapterdownloader.h"

#include "core/codec.h"
#include "rules/fetcher.h"
#include "rules/httpclient.h"
#include "rules/imagetype.h"
#include "rules/regex.h"
#include "rules/ruleinterpreter.h"
#include "shelf/chapterfiles.h"
#include "shelf/chapterstore.h"

namespace inkwren {
namespace {

enum Field { S7 = 7, S8, S9, S10 };

QByteArray field(const QByteArrayList &rule, int i) {
  return i < rule.size() ? rule[i] : QByteArray();
}

bool stopped(const ChapterDownloader::StopCheck &stop) {
  return stop && stop();
}

} // namespace

QByteArray ChapterDownloader::stoimg(const QByteArray &text, const QString &bookId,
                                     const QString &chapterId, const QByteArray &s8,
                                     const QByteArray &s9, const StopCheck &stop) const {
  if (s8.isEmpty() || s9.isEmpty())
    return text;
  Regex re{QByteArrayView(s8)};
  const QList<RegexMatch> matches = re.matchAll(text);
  if (matches.isEmpty())
    return text;
  auto client = fetcher_.creathttp(0);
  if (!client)
    return text;
  // Replacements are made on the decoded text, so a match text is only ever found on
  // character boundaries.
  QString out = codec::decode(text);
  for (int m = 0; m < matches.size(); ++m) {
    if (stopped(stop))
      break;
    const QByteArray address = interpreter_.regsp(s9, matches[m]);
    HttpResult picture = client->get(address);
    if (!picture.ok)
      break;
    const QString name = QString::number(m) + QString::fromLatin1(getpt(picture.body));
    // The reference is relative to the "book" folder, where the reading template lives.
    const QString ref = files_.writePicture(bookId, chapterId, name, picture.body);
    if (ref.isEmpty())
      break;
    out.replace(codec::decode(matches[m].value), QStringLiteral("<img src=\"%1\">").arg(ref));
  }
  return codec::encode(out);
}

QByteArray ChapterDownloader::chapterText(const QString &bookId, const QString &chapterId,
                                          const QByteArray &url, const QByteArrayList &rule,
                                          bool withPictures, const StopCheck &stop,
                                          bool *fetched) const {
  HttpResult result = fetcher_.fetch(url, {}, 0, 1);
  if (fetched)
    *fetched = result.ok;
  QByteArray &page = result.body;
  page.removeIf([](char c) { return c == '\r' || c == '\n'; });
  if (stopped(stop))
    return {};
  QByteArray text = interpreter_.guizstr(page, field(rule, S7));
  if (stopped(stop))
    return {};
  if (withPictures) {
    text = stoimg(text, bookId, chapterId, field(rule, S8), field(rule, S9), stop);
    if (stopped(stop))
      return {};
  }
  text = interpreter_.guizstr(text, field(rule, S10));
  if (stopped(stop))
    return {};
  return text;
}

ChapterDownloader::Outcome
ChapterDownloader::download(const QString &bookId, const QString &chapterId, const QByteArray &url,
                            const QByteArrayList &rule, const StopCheck &stop) const {
  bool fetched = false;
  QByteArray text = chapterText(bookId, chapterId, url, rule, true, stop, &fetched);
  if (stopped(stop))
    return Outcome::Stopped;
  if (!fetched)
    return Outcome::FetchFailed;
  if (text.isEmpty())
    return Outcome::NoText;
  const int count = ChapterFiles::zishutj(text);
  if (!files_.writeChapter(bookId, chapterId, text))
    return Outcome::Failed;
  return chapters_.setWords(bookId, chapterId, count) ? Outcome::Stored : Outcome::Failed;
}

} // namespace inkwren
