#include "rules/update/threaddown.h"

#include "core/codec.h"
#include "core/settings.h"
#include "rules/connectionpool.h"
#include "rules/fetchcontext.h"
#include "rules/ruleset.h"
#include "rules/update/booklock.h"
#include "rules/update/chapterdownloader.h"
#include "rules/update/chapterlistextractor.h"
#include "rules/update/chapterpipeline.h"
#include "shelf/chapterfiles.h"
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

QString TThreadDown::problem() const {
  QMutexLocker lock(&problemMutex_);
  return problem_;
}

void TThreadDown::fail(const QString &why) {
  {
    QMutexLocker lock(&problemMutex_);
    if (problem_.isEmpty())
      problem_ = why;
  }
  failed_.store(true);
}

void TThreadDown::dodown() {
  // Nothing may escape the thread; an unexpected failure ends the run like a normal end.
  try {
    run();
  } catch (...) {
    fail(QStringLiteral("更新意外中止"));
    if (!stopping())
      Q_EMIT ended();
  }
}

void TThreadDown::run() {
  if (stopping())
    return;
  QByteArrayList rule = tools_.rules.ruleFor(muluurl_);
  QByteArray siteKey = RuleSet::geturlkey(muluurl_);
  if (rule.isEmpty()) {
    fail(QStringLiteral("没有这个网站的规则: %1").arg(codec::decode(muluurl_)));
    Q_EMIT ended();
    return;
  }
  const BookLock lock(tools_.files.updateLockFile(bookId_));
  if (lock.busy()) {
    fail(QStringLiteral("这本小说正在由另一个程序更新"));
    Q_EMIT status(QStringLiteral("这本小说正在由另一个程序更新"));
    Q_EMIT ended();
    return;
  }
  ConnectionPool pool;
  const FetchContext context(tools_.settings, &cancel_, &pool);
  const Fetcher &fetcher = context.fetcher;
  const RuleInterpreter &interpreter = context.interpreter;
  if (!fetcher.clientOptions(0)) {
    fail(QStringLiteral("代理设置无效"));
    Q_EMIT ended();
    return;
  }
  const ChapterListExtractor extractor(tools_.chapters, interpreter);
  const ChapterDownloader downloader(tools_.chapters, fetcher, interpreter, tools_.files);
  bool anyPage = false; // whether the table of contents arrived (mode 0)
  if (mode_ == UpdateBook) {
    Q_EMIT status(QStringLiteral("更新章节列表..."));
    HttpResult page = fetcher.fetch(muluurl_, {}, 0, 1);
    if (stopping())
      return;
    anyPage = page.ok;
    page.body.removeIf([](char c) { return c == '\r' || c == '\n'; });
    const QString toc = interpreter.guizstrPage(page.ok ? page.body : QByteArray(), rule.value(1));
    if (stopping())
      return;
    ChapterListExtractor::Watch watch;
    watch.stop = [this] { return stopping(); };
    watch.progress = [this](qsizetype found) {
      Q_EMIT status(QStringLiteral("更新章节列表... 已找到 %1 章").arg(found));
    };
    if (extractor.stozj(toc, bookId_, rule, watch) < 0)
      fail(QStringLiteral("书库无法写入"));
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
    if (!rows)
      fail(QStringLiteral("书库无法读取"));
    else if (mode_ == UpdateBook && !anyPage)
      fail(QStringLiteral("无法获取目录页: %1").arg(codec::decode(muluurl_)));
    Q_EMIT ended();
    return;
  }
  // Each chapter with the rule of its own site; a chapter whose site has no rule is skipped.
  std::vector<ChapterPipeline::Chapter> work;
  for (const ChapterRow &r : *rows) {
    const QByteArray url = codec::encode(r.url);
    QByteArray key = RuleSet::geturlkey(url);
    if (key != siteKey) {
      rule = tools_.rules.getdsbykey(key);
      siteKey = key;
    }
    if (!rule.isEmpty())
      work.push_back({r.id, r.name, url, rule});
  }
  ChapterPipeline pipeline(tools_.settings, tools_.chapters, tools_.files, pool, &cancel_,
                           tools_.settings.number(Settings::downthreads, 4));
  ChapterPipeline::Hooks hooks;
  hooks.stop = [this] { return stopping(); };
  hooks.status = [this](const QString &text) { Q_EMIT status(text); };
  const ChapterPipeline::Summary done = pipeline.run(bookId_, work, hooks);
  if (done.stopped && stopping())
    return;
  if (!done.failedChapter.isEmpty())
    fail(QStringLiteral("章节无法保存: %1").arg(done.failedChapter));
  else if (!work.empty() && !anyPage && !done.anyPage)
    fail(QStringLiteral("无法获取任何网页"));
  if (!stopping())
    Q_EMIT ended();
}

} // namespace inkwren
