#include "rules/update/threaddown.h"

#include "core/codec.h"
#include "rules/fetchcontext.h"
#include "rules/ruleset.h"
#include "rules/update/chapterdownloader.h"
#include "rules/update/chapterlistextractor.h"
#include "shelf/chapterstore.h"

#include <QThread>

namespace inkwren {

TThreadDown::TThreadDown(Tools tools, QString bookId, int mode, QByteArray muluurl,
                         QStringList selectedIds, QObject *parent)
    : QObject(parent), tools_(tools), bookId_(std::move(bookId)), mode_(mode),
      muluurl_(std::move(muluurl)), selectedIds_(std::move(selectedIds)) {}

TThreadDown::~TThreadDown() {
  stop();
  wait();
}

void TThreadDown::start() {
  if (thread_)
    return;
  thread_.reset(QThread::create([this] { dodown(); }));
  connect(thread_.get(), &QThread::finished, this, &TThreadDown::threadFinished);
  thread_->start();
}

bool TThreadDown::wait(unsigned long ms) {
  return !thread_ || thread_->wait(ms);
}

void TThreadDown::dodown() {
  // Nothing may escape the thread; an unexpected failure ends the run like a normal end.
  try {
    if (stopping())
      return;
    QByteArrayList rule = tools_.rules.ruleFor(muluurl_);
    QByteArray siteKey = RuleSet::geturlkey(muluurl_);
    if (rule.isEmpty()) {
      Q_EMIT ended();
      return;
    }
    const FetchContext context(tools_.settings, &cancel_);
    const Fetcher &fetcher = context.fetcher;
    const RuleInterpreter &interpreter = context.interpreter;
    const ChapterListExtractor extractor(tools_.chapters, interpreter);
    const ChapterDownloader downloader(tools_.chapters, fetcher, interpreter, tools_.files);
    if (mode_ == UpdateBook) {
      Q_EMIT status(QStringLiteral("更新章节列表..."));
      QByteArray toc = fetcher.opurl(muluurl_, {}, 0, 1);
      if (stopping())
        return;
      toc = interpreter.guizstr(toc, rule.value(1));
      if (stopping())
        return;
      extractor.stozj(toc, bookId_, rule);
      if (stopping())
        return;
    }
    Q_EMIT status(QStringLiteral("获取需要更新的章节列表..."));
    if (mode_ == SelectedChapters && selectedIds_.isEmpty()) {
      Q_EMIT ended();
      return;
    }
    const Result<std::vector<ChapterRow>> rows =
        mode_ == SelectedChapters ? tools_.chapters.chaptersAmong(bookId_, selectedIds_)
                                  : tools_.chapters.chaptersWithoutText(bookId_);
    if (!rows || rows->empty()) {
      Q_EMIT ended();
      return;
    }
    for (const ChapterRow &r : *rows) {
      if (stopping())
        return;
      Q_EMIT status(QStringLiteral("更新章节 %1...").arg(r.name));
      const QByteArray url = codec::encode(r.url);
      QByteArray key = RuleSet::geturlkey(url);
      if (key != siteKey) {
        rule = tools_.rules.getdsbykey(key);
        siteKey = key;
      }
      if (rule.isEmpty())
        continue;
      auto outcome = downloader.download(bookId_, r.id, url, rule, [this] { return stopping(); });
      if (outcome == ChapterDownloader::Outcome::Stopped)
        return;
      if (outcome == ChapterDownloader::Outcome::Failed) {
        failed_.store(true);
        break;
      }
    }
    if (!stopping())
      Q_EMIT ended();
  } catch (...) {
    failed_.store(true);
    if (!stopping())
      Q_EMIT ended();
  }
}

} // namespace inkwren
