#include "shelf/ui/shelfwiring.h"

#include "core/codec.h"
#include "core/ui/shellhost.h"
#include "shelf/ui/booktree.h"
#include "shelf/ui/chapterlist.h"
#include "shelf/ui/latestlist.h"
#include "shelf/ui/shelfcontroller.h"

#include <QAction>
#include <QMenu>

namespace inkwren {

ShelfWiring::ShelfWiring(Services &services, ShellHost &shell, ShelfModel model,
                         std::function<bool()> updateRunning)
    : services_(services), shell_(shell), model_(model), tree_(new BookTree(model_.shelf)),
      list_(new ChapterList(model_.chapters, model_.current)),
      latest_(new LatestList(model_.chapters)) {
  shell.installLeftView(ShelfPage, tree_);
  shell.installLeftView(UpdatesPage, latest_);
  shell.installLeftView(ReadingPage, list_);
  ShelfHooks hooks;
  hooks.updateRunning = std::move(updateRunning);
  hooks.pagestate = [&shell] { return shell.page(); };
  controller_ = std::make_unique<ShelfController>(
      services, model_.shelf, model_.chapters, model_.files, model_.current, *tree_, *list_,
      *latest_, shell.fileDialogs(), urls_, std::move(hooks), shell.window());
  controller_->conversions().setEntityDecoder(model_.entities);
  // The chapter menu's commands are found by name like the main window's.
  const ShelfController &c = *controller_;
  for (auto [name, action] : {std::pair{"N73", c.N73},
                              {"N74", c.N74},
                              {"N76", c.N76},
                              {"N98", c.N98},
                              {"N78", c.N78},
                              {"N81", c.N81},
                              {"N82", c.N82}})
    shell.addCommand(QLatin1String(name), action);
  // The deleted book was open for reading: back to the shelf, and the reading tab goes.
  QObject::connect(&model_.current, &CurrentBook::closed, tree_, [&shell] {
    shell.showPage(ShelfPage);
    shell.hideReadingTab();
  });
  // The latest-updates list is filled when its page is first shown.
  shell.onPageChanged([latest = latest_](int page) {
    if (page == UpdatesPage && latest->topLevelItemCount() == 0)
      latest->drawnewdlv();
  });
  wireShelf(shell, *controller_, *tree_);
  shell.wire(QStringLiteral("N19"), [this] {
    const ShelfNode node = tree_->selectedNode();
    if (node.kind == ShelfNode::Book)
      viewbook(node.id);
  });
  QObject::connect(tree_, &QTreeWidget::itemDoubleClicked, tree_, [&shell] {
    if (QAction *read = shell.command(QStringLiteral("N19")))
      read->trigger();
  });
}

void ShelfWiring::viewbook(const QString &bookId) {
  if (viewbook_) {
    viewbook_(bookId);
    return;
  }
  if (bookId != model_.current.id()) {
    const TPItem *book = model_.shelf.getbn(bookId);
    if (!book)
      return;
    model_.current.set(bookId, book->name);
    shell_.showReadingTab(book->name, 7 * int(codec::encode(book->name).size()) + 24);
    list_->drawmulu(0);
    if (!list_->selectedRow() && list_->topLevelItemCount() > 0)
      list_->setCurrentItem(list_->topLevelItem(0));
  }
  shell_.showPage(ReadingPage);
}

ShelfWiring::~ShelfWiring() = default;

void ShelfWiring::libraryUnavailable(const QString &why) {
  model_.shelf.drawbookpanel(); // the root alone
  if (QTreeWidgetItem *root = tree_->root()) {
    auto *note = new QTreeWidgetItem(root, {QStringLiteral("书库无法打开: %1").arg(why)});
    note->setFlags(Qt::ItemIsEnabled);
    note->setToolTip(0, note->text(0));
    root->setExpanded(true);
  }
  for (const char *name :
       {"N4", "N5", "N6", "N7", "N9", "N10", "N12", "N14", "N16", "N19", "N88", "RzToolButton13",
        "RzToolButton15", "RzToolButton16", "RzToolButton17", "downallb", "downb", "RzToolButton9"})
    if (QAction *a = shell_.command(QLatin1String(name)))
      a->setEnabled(false);
}

void ShelfWiring::setBookPropertiesDialog(std::function<void(const QString &)> open) {
  controller_->hooks().openBookProperties = std::move(open);
  ShelfController &c = *controller_;
  BookTree &tree = *tree_;
  shell_.wire(QStringLiteral("N5"), [&c, &tree] { c.bookshuxing(tree.selectedNode()); });
  shell_.wire(QStringLiteral("RzToolButton16"), [&c] { c.bookPropertiesButton(); });
}

void ShelfWiring::setShowCurrentChapter(std::function<void()> show) {
  controller_->hooks().showCurrentChapter = std::move(show);
}

void wireShelf(ShellHost &shell, ShelfController &c, BookTree &tree) {
  QObject::connect(&tree, &QWidget::customContextMenuRequested, &tree,
                   [&shell, &tree](const QPoint &pos) {
                     if (QMenu *menu = shell.shelfMenu())
                       menu->popup(tree.viewport()->mapToGlobal(pos));
                   });
  shell.wire(QStringLiteral("N6"), [&c, &tree] { c.bookviewurl(tree.selectedNode()); });
  shell.wire(QStringLiteral("N7"), [&c] { c.deleteBook(); });
  shell.wire(QStringLiteral("RzToolButton17"), [&c] { c.deleteBook(); });
  shell.wire(QStringLiteral("N9"), [&c] { c.newCategory(); });
  shell.wire(QStringLiteral("N10"), [&c] { c.editCategory(); });
  shell.wire(QStringLiteral("N12"), [&c] { c.deleteCategory(); });
  shell.wire(QStringLiteral("N88"), [&c, &tree] { c.makeebook(tree.selectedNode()); });
  shell.wire(QStringLiteral("RzToolButton13"), [&c] { c.ebookButton(); });
}

} // namespace inkwren
