#include "reader/ui/readerwiring.h"

#include "core/codec.h"
#include "core/messages.h"
#include "core/ui/shellhost.h"
#include "reader/navigation.h"
#include "reader/readingpage.h"
#include "reader/readmarks.h"
#include "reader/ui/bookmarkmenus.h"
#include "reader/ui/tviewmodeform.h"
#include "shelf/ui/chapterlist.h"
#include "shelf/ui/latestlist.h"
#include "shelf/ui/platform.h"
#include "shelf/ui/shelfcontroller.h"
#include "shelf/ui/shelfwiring.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

namespace inkwren {
namespace {

const QString kNoChapter = QStringLiteral("当前没有选中任何章节!");

QTreeWidgetItem *firstSelected(const QTreeWidget &list) {
  for (int i = 0; i < list.topLevelItemCount(); ++i)
    if (list.topLevelItem(i)->isSelected())
      return list.topLevelItem(i);
  return nullptr;
}

// A toolbar button that drops its menu down when pressed.
void dropDown(QAction *button, QMenu *menu) {
  if (!button)
    return;
  button->setMenu(menu);
  for (QObject *o : button->associatedObjects())
    if (auto *b = qobject_cast<QToolButton *>(o))
      b->setPopupMode(QToolButton::InstantPopup);
  button->setEnabled(true);
  button->setToolTip(button->property("hint").toString());
}

} // namespace

ReaderWiring::ReaderWiring(Services &services, ShellHost &shell, ShelfWiring &shelf,
                           ReadMarks &marks, HtmlViewFactory makeHtmlView, UrlOpener *urls)
    : services_(services), shell_(shell), shelf_(shelf), marks_(marks),
      makeHtmlView_(std::move(makeHtmlView)) {
  if (!urls) {
    ownUrls_ = std::make_unique<DesktopUrlOpener>();
    urls = ownUrls_.get();
  }
  urls_ = urls;
  bookmarks_ =
      std::make_unique<BookmarkMenus>(services, shelf.chapters(), shelf.files(), shelf.bookshelf(),
                                      shelf.currentBook(), shelf.chapterList());
  shell.addCommand(QStringLiteral("N99"), bookmarks_->N99);
  shell.addCommand(QStringLiteral("N101"), bookmarks_->N101);
  dropDown(shell.command(QStringLiteral("RzToolButton8")), bookmarks_->sqmenu);
  dropDown(shell.command(QStringLiteral("RzToolButton18")), bookmarks_->glmenu);

  // The pane.
  HtmlView &webem = shell.htmlView();
  connect(&webem, &HtmlView::loadFinished, this,
          [this, &webem](bool) { webemxDocumentComplete(webem.url()); });
  connect(&webem, &HtmlView::commandLink, this, [this](const QString &address) {
    if (urlactdo)
      urlactdo(address);
  });
  // Next and previous chapter from the keyboard while the reading page has the focus.
  webem.keyHandler = [this](const QKeyEvent &e) {
    if (e.modifiers() & ~Qt::KeypadModifier)
      return false;
    if (e.key() == Qt::Key_Right) {
      zjviewt(QStringLiteral("next"));
      return true;
    }
    if (e.key() == Qt::Key_Left) {
      zjviewt(QStringLiteral("last"));
      return true;
    }
    return false;
  };

  // The lists show their selected chapter on every change and every click.
  ChapterList &list = shelf.chapterList();
  LatestList &latest = shelf.latestList();
  for (QTreeWidget *l : {static_cast<QTreeWidget *>(&list), static_cast<QTreeWidget *>(&latest)}) {
    connect(l, &QTreeWidget::itemSelectionChanged, this, [this] { requestShow(); });
    connect(l, &QTreeWidget::itemClicked, this, [this] { requestShow(); });
  }
  shelf.setShowCurrentChapter([this] { zjview(); });
  shelf.setViewbook([this](const QString &bookId) { viewbook(bookId); });

  // Commands.
  shell.wire(QStringLiteral("RzToolButton9"), [this] { RzToolButton9Click(); });
  shell.wire(QStringLiteral("N78"), [this] { N78Click(); });
  shell.wire(QStringLiteral("N35"), [this] { openTemplateEditor(); });
  const std::pair<const char *, const char *> moves[] = {
      {"vnextb", "next"}, {"vlastb", "last"}, {"vnoreadb", "noread"}};
  for (auto [name, target] : moves)
    shell.wire(QLatin1String(name), [this, t = QString::fromLatin1(target)] { zjviewt(t); });
  ShelfController &c = shelf.controller();
  const std::pair<QAction *, const char *> jumps[] = {
      {c.N91, "next"}, {c.N90, "last"}, {c.N62, "noread"}, {c.N63, "first"}, {c.N64, "end"}};
  for (auto [action, target] : jumps)
    ShellHost::wire(action, [this, t = QString::fromLatin1(target)] { zjviewt(t); });
  for (auto [name, key] : {std::pair{"vnextb", "→"}, {"vlastb", "←"}})
    if (QAction *a = shell.command(QLatin1String(name)))
      a->setToolTip(
          QStringLiteral("%1（%2）").arg(a->property("hint").toString(), QString::fromUtf8(key)));
}

ReaderWiring::~ReaderWiring() {
  // The window may outlive the reader: nothing of it stays behind there.
  shell_.htmlView().keyHandler = nullptr;
  for (const char *name : {"RzToolButton8", "RzToolButton18"})
    if (QAction *button = shell_.command(QLatin1String(name)))
      button->setMenu(static_cast<QMenu *>(nullptr));
}

void ReaderWiring::requestShow() {
  // A click also changes the selection: one load for both.
  if (showPending_)
    return;
  showPending_ = true;
  QTimer::singleShot(0, this, [this] {
    showPending_ = false;
    zjview();
  });
}

void ReaderWiring::zjview() {
  const int page = shell_.page();
  if (page == UpdatesPage && !firstSelected(shelf_.latestList()))
    return;
  if (page == ReadingPage && !shelf_.chapterList().selectedRow())
    return;
  shell_.htmlView().load(ReadingPage::templateUrl(services_.folder));
}

void ReaderWiring::webemxDocumentComplete(const QUrl &url) {
  if (!url.isLocalFile())
    return; // web pages are left alone
  const QString viewtype = ReadingPage::viewtype(url);
  if (viewtype == QLatin1String("zjview"))
    zjviewxx();
  else if (viewtype == QLatin1String("next"))
    zjviewt(QStringLiteral("next"));
  else if (viewtype == QLatin1String("last"))
    zjviewt(QStringLiteral("last"));
}

void ReaderWiring::zjviewxx() {
  shell_.htmlView().fillBody(
      [this](const QString &h) -> QString {
        QString bookId, chapterId, title;
        const int page = shell_.page();
        if (page == ReadingPage) {
          ChapterList &list = shelf_.chapterList();
          QTreeWidgetItem *r = list.selectedRow();
          if (!r)
            return QString();
          bookId = shelf_.currentBook().id();
          chapterId = ChapterList::chapterId(r);
          title = r->text(ChapterList::NameColumn);
          if (!ChapterList::isRead(r)) {
            ChapterList::setRead(r, true);
            marks_.zjrschange(bookId, chapterId, 1);
          }
        } else if (page == UpdatesPage) {
          QTreeWidgetItem *r = firstSelected(shelf_.latestList());
          if (!r)
            return QString();
          bookId = LatestList::bookId(r);
          chapterId = LatestList::chapterId(r);
          title = r->text(LatestList::NameColumn);
          if (!LatestList::isRead(r)) {
            LatestList::setRead(r, true);
            marks_.zjrschange(bookId, chapterId, 1);
          }
        } else {
          return h;
        }
        return ReadingPage::fillBody(h, title,
                                     ReadingPage::chapterHtml(shelf_.files(), bookId, chapterId));
      },
      [this] { Q_EMIT chapterShown(); });
}

void ReaderWiring::viewbook(const QString &bookId) {
  CurrentBook &current = shelf_.currentBook();
  if (bookId != current.id()) {
    const TPItem *book = shelf_.bookshelf().getbn(bookId);
    if (!book)
      return;
    const QString name = book->name;
    current.set(bookId, name);
    shell_.showReadingTab(name, 7 * int(codec::encode(name).size()) + 24);
    ChapterList &list = shelf_.chapterList();
    list.drawmulu(0);
    bookmarks_->drawshuqian();
    bookmarks_->drawguolv();
    if (!list.selectedRow() && list.topLevelItemCount() > 0)
      list.setCurrentItem(list.topLevelItem(0));
  }
  topbp4Click();
}

void ReaderWiring::topbp4Click() {
  shell_.showPage(ReadingPage);
}

void ReaderWiring::zjviewt(const QString &target) {
  const int page = shell_.page();
  QTreeWidget *list = page == ReadingPage   ? static_cast<QTreeWidget *>(&shelf_.chapterList())
                      : page == UpdatesPage ? static_cast<QTreeWidget *>(&shelf_.latestList())
                                            : nullptr;
  if (!list)
    return;
  std::vector<bool> unread;
  std::optional<int> selected;
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    QTreeWidgetItem *item = list->topLevelItem(i);
    unread.push_back(page == ReadingPage ? !ChapterList::isRead(item) : !LatestList::isRead(item));
    if (!selected && item->isSelected())
      selected = i;
  }
  const std::optional<int> row = getzjlt(unread, selected, target);
  if (!row)
    return;
  QTreeWidgetItem *r = list->topLevelItem(*row);
  list->clearSelection();
  list->setCurrentItem(r);
  r->setSelected(true);
  list->scrollToItem(r);
  requestShow(); // also when the row was already the selected one: it is shown again
}

void ReaderWiring::RzToolButton9Click() {
  QTreeWidgetItem *r = firstSelected(shelf_.latestList());
  if (!r) {
    services_.messages.tsxx(kNoChapter);
    return;
  }
  const QString bookId = LatestList::bookId(r);
  if (shelf_.bookshelf().getbn(bookId))
    viewbook(bookId);
}

void ReaderWiring::N78Click() {
  QTreeWidgetItem *r = shelf_.chapterList().selectedRow();
  if (!r) {
    services_.messages.tsxx(kNoChapter);
    return;
  }
  urls_->open(r->text(ChapterList::UrlColumn));
}

void ReaderWiring::openTemplateEditor() {
  Tviewmodeform form(services_.folder, makeHtmlView_, shell_.window());
  form.exec();
}

} // namespace inkwren
