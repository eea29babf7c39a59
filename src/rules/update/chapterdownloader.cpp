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

ChapterDownloader::Fetched ChapterDownloader::fetchChapter(const QString &bookId,
                                                           const QString &chapterId,
                                                           const QByteArray &url,
                                                           const QByteArrayList &rule,
                                                           const StopCheck &stop) const {
  Fetched out;
  HttpResult result = fetcher_.fetch(url, {}, 0, 1);
  out.status = result.status;
  out.retryAfterSeconds = result.retryAfterSeconds;
  if (stopped(stop)) {
    out.outcome = Outcome::Stopped;
    return out;
  }
  if (!result.ok) {
    out.outcome = Outcome::FetchFailed;
    return out;
  }
  QByteArray &page = result.body;
  page.removeIf([](char c) { return c == '\r' || c == '\n'; });
  QByteArray text = interpreter_.guizstr(page, field(rule, S7));
  if (!stopped(stop))
    text = stoimg(text, bookId, chapterId, field(rule, S8), field(rule, S9), stop);
  if (!stopped(stop))
    text = interpreter_.guizstr(text, field(rule, S10));
  if (stopped(stop)) {
    out.outcome = Outcome::Stopped;
    return out;
  }
  out.outcome = text.isEmpty() ? Outcome::NoText : Outcome::Stored;
  out.text = std::move(text);
  return out;
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

ChapterDownloader::Outcome ChapterDownloader::storeChapter(ChapterStore &chapters,
                                                           const ChapterFiles &files,
                                                           const QString &bookId,
                                                           const QString &chapterId,
                                                           const QByteArray &text) {
  const int count = ChapterFiles::zishutj(text);
  if (!files.writeChapter(bookId, chapterId, text))
    return Outcome::Failed;
  return chapters.setWords(bookId, chapterId, count) ? Outcome::Stored : Outcome::Failed;
}

ChapterDownloader::Outcome
ChapterDownloader::download(const QString &bookId, const QString &chapterId, const QByteArray &url,
                            const QByteArrayList &rule, const StopCheck &stop) const {
  Fetched f = fetchChapter(bookId, chapterId, url, rule, stop);
  if (f.outcome != Outcome::Stored)
    return f.outcome;
  if (stopped(stop))
    return Outcome::Stopped;
  return storeChapter(chapters_, files_, bookId, chapterId, f.text);
}

} // namespace inkwren
