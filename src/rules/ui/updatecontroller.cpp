#include "rules/ui/updatecontroller.h"

#include "core/codec.h"
#include "core/messages.h"
#include "core/ui/artwork.h"
#include "core/ui/shellhost.h"
#include "rules/fetchcontext.h"
#include "rules/ruleset.h"
#include "rules/update/chapterlistextractor.h"
#include "rules/update/threaddown.h"
#include "rules/update/updateservice.h"
#include "shelf/ui/booktree.h"
#include "shelf/ui/chapterlist.h"
#include "shelf/ui/latestlist.h"
#include "shelf/ui/shelfcontroller.h"
#include "shelf/ui/shelfwiring.h"

#include <QAction>
#include <QMenu>

namespace inkwren {
namespace {

// Keeps the selection of a tree list across a refill: the first row whose keys match, else
// the first row when nothing was selected.
template <class Key>
void reselect(QTreeWidget &list, const std::optional<Key> &wanted,
              Key (*keyOf)(const QTreeWidgetItem *)) {
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

QString chapterKey(const QTreeWidgetItem *item) {
  return ChapterList::chapterId(item);
}
QString latestKey(const QTreeWidgetItem *item) {
  return LatestList::bookId(item) + QLatin1Char('/') + LatestList::chapterId(item);
}

} // namespace

UpdateController::UpdateController(ShellHost &shell, UpdateService &updates, ShelfWiring &shelf,
                                   RuleSet &rules, const FetchContext &main, Messages &messages,
                                   QObject *parent)
    : QObject(parent), shell_(shell), updates_(updates), shelf_(shelf), rules_(rules), main_(main),
      messages_(messages) {
  shell_.wire(QStringLiteral("downb"), [this] { downbClick(); });
  shell_.wire(QStringLiteral("downallb"), [this] { downallbClick(); });
  shell_.wire(QStringLiteral("N14"), [this] { N14Click(); });
  shell_.wire(QStringLiteral("N15"), [this] { N15Click(); });
  shell_.wire(QStringLiteral("N16"), [this] { N16Click(); });
  shell_.wire(QStringLiteral("refreb"), [this] { refrebClick(); });
  shell_.wire(QStringLiteral("N73"), [this] { N73Click(); });
  shell_.wire(QStringLiteral("N74"), [this] { N74Click(); });
  shell_.wire(QStringLiteral("N76"), [this] { N76Click(); });
  shell_.wire(QStringLiteral("N98"), [this] { N98Click(); });
  for (const char *name : {"N73", "N74", "N76"})
    if (QAction *a = shell_.command(QLatin1String(name)))
      if (auto *menu = qobject_cast<QMenu *>(a->parent()))
        menu->menuAction()->setEnabled(true);

  auto showStatus = [this] {
    shell_.setUpdateStatus(updates_.panel0(), updates_.panel1(), updates_.running());
  };
  connect(&updates_, &UpdateService::status, this, showStatus);
  connect(&updates_, &UpdateService::runningChanged, this, [this, showStatus](bool running) {
    setButtons(running);
    showStatus();
  });
  connect(&updates_, &UpdateService::runEnded, this,
          [this](const QString &bookId) { shelf_.chapterList().checkredrawmulu(bookId); });
  connect(&updates_, &UpdateService::categoryReached, this, [this](const QString &typeId) {
    if (QTreeWidgetItem *category = shelf_.tree().categoryNode(typeId))
      category->setExpanded(true);
  });
  setButtons(updates_.running());
  showStatus();
}

void UpdateController::setButtons(bool busy) {
  const QColor idle(0xe0, 0x8e, 0x1b), stop(0xc9, 0x53, 0x4f);
  if (QAction *all = shell_.command(QStringLiteral("downallb"))) {
    all->setIcon(
        artwork::glyph(busy ? QStringLiteral("停") : QStringLiteral("全"), busy ? stop : idle));
    all->setText(busy ? QStringLiteral("停止更新") : QStringLiteral("更新全部"));
  }
  if (QAction *one = shell_.command(QStringLiteral("downb"))) {
    one->setIcon(
        artwork::glyph(busy ? QStringLiteral("停") : QStringLiteral("更"), busy ? stop : idle));
    one->setText(busy ? QStringLiteral("停止更新") : QStringLiteral("更新"));
  }
}

void UpdateController::downbClick() {
  if (updates_.running()) {
    updates_.stopdown();
    return;
  }
  CurrentBook &current = shelf_.currentBook();
  if (current.isOpen())
    updates_.startWorker(current.id(), TThreadDown::UpdateBook);
}

void UpdateController::downallbClick() {
  if (updates_.running()) {
    updates_.stopdown();
    return;
  }
  updates_.startUpdateAll();
}

void UpdateController::N14Click() {
  ShelfNode node = shelf_.tree().selectedNode();
  if (node.kind != ShelfNode::Book) {
    messages_.tsxx(QStringLiteral("当前没有选中小说!"));
    return;
  }
  if (updates_.running()) {
    messages_.tsxx(UpdateService::kOneAtATime);
    return;
  }
  updates_.startWorker(node.id, TThreadDown::UpdateBook);
}

void UpdateController::N15Click() {
  updates_.stopdown();
}

void UpdateController::N16Click() {
  if (updates_.running()) {
    messages_.tsxx(UpdateService::kOneAtATime);
    return;
  }
  updates_.startUpdateAll();
}

bool UpdateController::refuseWithoutSelection() {
  if (!shelf_.chapterList().selectedRow()) {
    messages_.tsxx(QStringLiteral("当前没有选中任何章节!"));
    return true;
  }
  if (updates_.running()) {
    messages_.tsxx(UpdateService::kBusy);
    return true;
  }
  return false;
}

void UpdateController::N73Click() {
  if (!shelf_.currentBook().isOpen() || refuseWithoutSelection())
    return;
  updates_.startWorker(shelf_.currentBook().id(), TThreadDown::SelectedChapters,
                       shelf_.chapterList().selectedIds());
}

void UpdateController::N74Click() {
  if (!shelf_.currentBook().isOpen())
    return;
  if (updates_.running()) {
    messages_.tsxx(UpdateService::kBusy);
    return;
  }
  updates_.startWorker(shelf_.currentBook().id(), TThreadDown::BlankChapters);
}

bool UpdateController::currentToc(QByteArrayList *rule, QByteArray *toc) {
  const TPItem *book = shelf_.bookshelf().getbn(shelf_.currentBook().id());
  if (!book)
    return false;
  const QByteArray url = codec::encode(book->muluurl);
  *rule = rules_.ruleFor(url);
  if (rule->isEmpty())
    return false;
  *toc = main_.interpreter.guizstr(main_.fetcher.opurl(url, {}, 0, 1), rule->value(1));
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
  ChapterListExtractor extractor(shelf_.chapters(), main_.interpreter);
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
  if (updates_.running()) {
    messages_.tsxx(UpdateService::kBusy);
    return;
  }
  QByteArrayList rule;
  QByteArray toc;
  if (!currentToc(&rule, &toc))
    return;
  ChapterListExtractor(shelf_.chapters(), main_.interpreter)
      .stozjpx(toc, shelf_.currentBook().id(), rule);
  refrebClick();
}

void UpdateController::refrebClick() {
  if (shell_.page() == ReadingPage) {
    ChapterList &list = shelf_.chapterList();
    std::optional<QString> wanted;
    if (QTreeWidgetItem *row = list.selectedRow())
      wanted = ChapterList::chapterId(row);
    list.drawmulu(0);
    reselect<QString>(list, wanted, &chapterKey);
  } else if (shell_.page() == UpdatesPage) {
    LatestList &list = shelf_.latestList();
    std::optional<QString> wanted;
    if (!list.selectedItems().isEmpty())
      wanted = latestKey(list.selectedItems().front());
    list.drawnewdlv();
    reselect<QString>(list, wanted, &latestKey);
  }
}

} // namespace inkwren
