#include "rules/ui/updatecontroller.h"

#include "core/codec.h"
#include "core/messages.h"
#include "rules/fetcher.h"
#include "rules/ruleinterpreter.h"
#include "rules/ruleset.h"
#include "rules/update/chapterlistextractor.h"
#include "rules/update/updateall.h"
#include "shell/artwork.h"
#include "shell/mainform.h"
#include "shelf/ui/booktree.h"
#include "shelf/ui/chapterlist.h"
#include "shelf/ui/latestlist.h"
#include "shelf/ui/shelfcontroller.h"
#include "shelf/ui/shelfwiring.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>

namespace inkwren {
namespace {

const QString kBusy = QStringLiteral("当前下载更新进程执行中，不可以执行该操作!");
const QString kOneAtATime = QStringLiteral("当前有小说正在更新，不可以同时更新多本小说!");

// Keeps the selection of a tree list across a refill: the first row whose keys match, else
// the first row when nothing was selected.
template <class Key>
void reselect(QTreeWidget &list, const std::optional<Key> &wanted, Key (*keyOf)(const QTreeWidgetItem *)) {
  QTreeWidgetItem *found = nullptr;
  if (wanted)
    for (int i = 0; i < list.topLevelItemCount() && !found; ++i)
      if (keyOf(list.topLevelItem(i)) == *wanted)
        found = list.topLevelItem(i);
  if (!found && list.selectedItems().isEmpty() && list.topLevelItemCount() > 0)
    found = list.topLevelItem(0);
  if (found) {
    list.setCurrentItem(found);
    found->setSelected(true);
  }
  if (!list.selectedItems().isEmpty())
    list.scrollToItem(list.selectedItems().front());
}

QString chapterKey(const QTreeWidgetItem *item) { return ChapterList::chapterId(item); }
QString latestKey(const QTreeWidgetItem *item) {
  return LatestList::bookId(item) + QLatin1Char('/') + LatestList::chapterId(item);
}

} // namespace

UpdateController::UpdateController(Services &services, Tmainform &main, ShelfWiring &shelf,
                                   RuleSet &rules, WebPath &webpath, const Fetcher &fetcher,
                                   const RuleInterpreter &interpreter, QObject *parent)
    : QObject(parent), services_(services), main_(main), shelf_(shelf), rules_(rules),
      webpath_(webpath), fetcher_(fetcher), interpreter_(interpreter) {
  downtime = new QTimer(this);
  downtime->setInterval(100);
  connect(downtime, &QTimer::timeout, this, &UpdateController::downtimeTimer);

  ShelfController &c = shelf_.controller();
  Tmainform::wire(main_.downb, [this] { downbClick(); });
  Tmainform::wire(main_.downallb, [this] { downallbClick(); });
  Tmainform::wire(main_.N14, [this] { N14Click(); });
  Tmainform::wire(main_.N15, [this] { N15Click(); });
  Tmainform::wire(main_.N16, [this] { N16Click(); });
  Tmainform::wire(main_.refreb, [this] { refrebClick(); });
  Tmainform::wire(c.N73, [this] { N73Click(); });
  Tmainform::wire(c.N74, [this] { N74Click(); });
  Tmainform::wire(c.N76, [this] { N76Click(); });
  Tmainform::wire(c.N98, [this] { N98Click(); });
  for (QAction *a : {c.N73, c.N74, c.N76})
    if (a && a->parent())
      if (auto *menu = qobject_cast<QMenu *>(a->parent()))
        menu->menuAction()->setEnabled(true);

  // A new book starts its first update; a book that is deleted stops its own.
  shelf_.bookshelf().setUpdateHooks(
      [this] { return running(); },
      [this](const QString &bookId) {
        if (!running())
          startWorker(bookId, TThreadDown::UpdateBook);
      },
      [this](const QString &bookId) {
        if (!current_ || current_->bookId() != bookId)
          return;
        // The book's files are deleted next: wait for the worker's thread, so that nothing
        // it was about to write appears after them (a fetch under way is cut short).
        TThreadDown *w = current_;
        if (running())
          stopdown();
        w->stop();
        w->wait(10000);
      });
  setIdle();
}

UpdateController::~UpdateController() { stopAll(); }

bool UpdateController::running() const { return main_.downsb && !main_.downsb->isHidden(); }

void UpdateController::setButtons(bool busy) {
  const QColor idle(0xe0, 0x8e, 0x1b), stop(0xc9, 0x53, 0x4f);
  main_.downallb->setIcon(artwork::glyph(busy ? QStringLiteral("停") : QStringLiteral("全"), busy ? stop : idle));
  main_.downb->setIcon(artwork::glyph(busy ? QStringLiteral("停") : QStringLiteral("更"), busy ? stop : idle));
  main_.downallb->setText(busy ? QStringLiteral("停止更新") : QStringLiteral("更新全部"));
  main_.downb->setText(busy ? QStringLiteral("停止更新") : QStringLiteral("更新"));
}

void UpdateController::setIdle() {
  main_.downsbPanel1->setText(QStringLiteral("更新停止"));
  setButtons(false);
  main_.downsb->hide();
}

bool UpdateController::startWorker(const QString &bookId, int mode, const QStringList &selectedIds) {
  const TPItem *book = shelf_.bookshelf().getbn(bookId);
  if (!book || running())
    return false;
  auto worker = std::make_unique<TThreadDown>(
      TThreadDown::Tools{services_.db, rules_, services_.settings, webpath_, shelf_.files()}, bookId,
      mode, codec::encode(book->muluurl), selectedIds);
  TThreadDown *w = worker.get();
  shelf_.bookshelf().setUpdating(bookId, true);
  main_.downsbPanel0->setText(QStringLiteral("更新小说 ") + book->name);
  main_.downsbPanel1->setText(QStringLiteral("开始更新..."));
  setButtons(true);
  main_.downsb->show();
  // Connected before the thread starts; the receiver lives on the main thread, so every
  // signal arrives queued and in order.
  connect(w, &TThreadDown::status, this, [this, w](const QString &text) {
    if (w == current_ && running())
      main_.downsbPanel1->setText(text);
  });
  connect(w, &TThreadDown::ended, this, [this, w] { enddown(w); });
  // Emitted after the worker's last status and end, so nothing of it is still on its way.
  connect(w, &TThreadDown::threadFinished, this, [this, w] {
    if (current_ == w)
      current_ = nullptr;
    std::erase_if(workers_, [w](const auto &p) { return p.get() == w; });
  });
  current_ = w;
  workers_.push_back(std::move(worker));
  w->start();
  return true;
}

void UpdateController::enddown(TThreadDown *worker) {
  if (!worker)
    return;
  worker->stop();
  const QString bookId = worker->bookId();
  shelf_.chapterList().checkredrawmulu(bookId);
  shelf_.bookshelf().redrawbookx(bookId);
  shelf_.bookshelf().setUpdating(bookId, false);
  // A worker that was stopped and replaced by a newer one leaves the screen to the newer one.
  if (worker == current_)
    setIdle();
}

void UpdateController::stopdown() {
  downtime->stop();
  if (running() && current_)
    enddown(current_);
  setIdle();
}

void UpdateController::stopAll() {
  downtime->stop();
  for (auto &w : workers_)
    w->stop();
  for (auto &w : workers_)
    w->wait();
  workers_.clear();
  current_ = nullptr;
}

void UpdateController::startUpdateAll() {
  downindex = 0;
  downtime->start();
}

void UpdateController::downtimeTimer() {
  if (running())
    return;
  auto next = nextBookToUpdate(shelf_.bookshelf(), downindex);
  if (!next) {
    downtime->stop();
    return;
  }
  downindex = next->index;
  if (QTreeWidgetItem *category = shelf_.tree().categoryNode(next->typeId))
    category->setExpanded(true);
  startWorker(next->bookId, TThreadDown::UpdateBook);
}

void UpdateController::downbClick() {
  if (running()) {
    stopdown();
    return;
  }
  CurrentBook &current = shelf_.currentBook();
  if (current.isOpen())
    startWorker(current.id(), TThreadDown::UpdateBook);
}

void UpdateController::downallbClick() {
  if (running()) {
    stopdown();
    return;
  }
  startUpdateAll();
}

void UpdateController::N14Click() {
  ShelfNode node = shelf_.tree().selectedNode();
  if (node.kind != ShelfNode::Book) {
    services_.messages.tsxx(QStringLiteral("当前没有选中小说!"));
    return;
  }
  if (running()) {
    services_.messages.tsxx(kOneAtATime);
    return;
  }
  startWorker(node.id, TThreadDown::UpdateBook);
}

void UpdateController::N15Click() { stopdown(); }

void UpdateController::N16Click() {
  if (running()) {
    services_.messages.tsxx(kOneAtATime);
    return;
  }
  startUpdateAll();
}

bool UpdateController::refuseWithoutSelection() {
  if (!shelf_.chapterList().selectedRow()) {
    services_.messages.tsxx(QStringLiteral("当前没有选中任何章节!"));
    return true;
  }
  if (running()) {
    services_.messages.tsxx(kBusy);
    return true;
  }
  return false;
}

void UpdateController::N73Click() {
  if (!shelf_.currentBook().isOpen() || refuseWithoutSelection())
    return;
  startWorker(shelf_.currentBook().id(), TThreadDown::SelectedChapters,
              shelf_.chapterList().selectedIds());
}

void UpdateController::N74Click() {
  if (!shelf_.currentBook().isOpen())
    return;
  if (running()) {
    services_.messages.tsxx(kBusy);
    return;
  }
  startWorker(shelf_.currentBook().id(), TThreadDown::BlankChapters);
}

bool UpdateController::currentToc(QByteArrayList *rule, QByteArray *toc) {
  const TPItem *book = shelf_.bookshelf().getbn(shelf_.currentBook().id());
  if (!book)
    return false;
  const QByteArray url = codec::encode(book->muluurl);
  *rule = rules_.ruleFor(url);
  if (rule->isEmpty())
    return false;
  *toc = interpreter_.guizstr(fetcher_.opurl(url, {}, 0, 1), rule->value(1));
  return true;
}

void UpdateController::N76Click() {
  if (!shelf_.currentBook().isOpen() || refuseWithoutSelection())
    return;
  QByteArrayList rule;
  QByteArray toc;
  if (!currentToc(&rule, &toc))
    return;
  QTreeWidgetItem *row = shelf_.chapterList().selectedRow();
  if (!row)
    return; // the list changed while the page was fetched
  ChapterListExtractor extractor(services_.db, interpreter_);
  auto r = extractor.regetzjfjnm(toc, shelf_.currentBook().id(), ChapterList::chapterId(row),
                                 row->text(ChapterList::UrlColumn), rule);
  if (r) {
    row->setText(ChapterList::NameColumn, r->name);
    row->setText(ChapterList::VolumeColumn, r->volume);
  }
}

void UpdateController::N98Click() {
  if (!shelf_.currentBook().isOpen())
    return;
  if (running()) {
    services_.messages.tsxx(kBusy);
    return;
  }
  QByteArrayList rule;
  QByteArray toc;
  if (!currentToc(&rule, &toc))
    return;
  ChapterListExtractor(services_.db, interpreter_).stozjpx(toc, shelf_.currentBook().id(), rule);
  refrebClick();
}

void UpdateController::refrebClick() {
  if (main_.pagestate == ReadingPage) {
    ChapterList &list = shelf_.chapterList();
    std::optional<QString> wanted;
    if (QTreeWidgetItem *row = list.selectedRow())
      wanted = ChapterList::chapterId(row);
    list.drawmulu(0);
    reselect<QString>(list, wanted, &chapterKey);
  } else if (main_.pagestate == UpdatesPage) {
    LatestList &list = shelf_.latestList();
    std::optional<QString> wanted;
    if (!list.selectedItems().isEmpty())
      wanted = latestKey(list.selectedItems().front());
    list.drawnewdlv();
    reselect<QString>(list, wanted, &latestKey);
  }
}

} // namespace inkwren
