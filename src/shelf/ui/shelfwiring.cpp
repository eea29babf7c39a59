#include "shelf/ui/shelfwiring.h"

#include "core/codec.h"
#include "shell/mainform.h"
#include "shelf/ui/booktree.h"
#include "shelf/ui/chapterlist.h"
#include "shelf/ui/latestlist.h"
#include "shelf/ui/shelfcontroller.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>
#include <QToolButton>

namespace inkwren {

ShelfWiring::ShelfWiring(Services &services, Tmainform &main)
    : services_(services), main_(main), shelf_(services, current_), chapters_(services.db),
      files_(services.folder), tree_(new BookTree(shelf_)),
      list_(new ChapterList(chapters_, current_)), latest_(new LatestList(chapters_)) {
  main.installViews(tree_, latest_, list_);
  ShelfHooks hooks;
  // The download status bar is shown exactly while an update runs.
  hooks.updateRunning = [&main] { return main.downsb && !main.downsb->isHidden(); };
  hooks.pagestate = [&main] { return main.pagestate; };
  controller_ = std::make_unique<ShelfController>(services, shelf_, chapters_, files_, current_,
                                                  *tree_, *list_, *latest_, dialogs_, urls_,
                                                  std::move(hooks), &main);
  // The deleted book was open for reading: back to the shelf, and the reading tab goes.
  QObject::connect(&current_, &CurrentBook::closed, &main, [&main] {
    main.topbp1Click();
    main.topbp4->hide();
  });
  // The latest-updates list is filled when its page is first shown.
  auto previous = main.onPageChanged;
  main.onPageChanged = [previous, latest = latest_](int page) {
    if (previous)
      previous(page);
    if (page == 3 && latest->topLevelItemCount() == 0)
      latest->drawnewdlv();
  };
  wireShelf(main, *controller_, *tree_);
  Tmainform::wire(main.N19, [this] {
    const ShelfNode node = tree_->selectedNode();
    if (node.kind == ShelfNode::Book)
      viewbook(node.id);
  });
  QObject::connect(tree_, &QTreeWidget::itemDoubleClicked, &main, [&main] { main.N19->trigger(); });
}

void ShelfWiring::viewbook(const QString &bookId) {
  if (bookId != current_.id()) {
    const TPItem *book = shelf_.getbn(bookId);
    if (!book)
      return;
    current_.set(bookId, book->name);
    main_.topbp4->setText(book->name);
    main_.topbp4->setFixedWidth(7 * int(codec::encode(book->name).size()) + 24);
    main_.topbp4->show();
    list_->drawmulu(0);
    if (!list_->selectedRow() && list_->topLevelItemCount() > 0)
      list_->setCurrentItem(list_->topLevelItem(0));
  }
  main_.topbp4Click();
}

ShelfWiring::~ShelfWiring() = default;

void ShelfWiring::setBookPropertiesDialog(std::function<void(const QString &)> open) {
  controller_->hooks().openBookProperties = std::move(open);
  ShelfController &c = *controller_;
  BookTree &tree = *tree_;
  Tmainform::wire(main_.N5, [&c, &tree] { c.bookshuxing(tree.selectedNode()); });
  Tmainform::wire(main_.RzToolButton16, [&c] { c.bookPropertiesButton(); });
}

void ShelfWiring::setShowCurrentChapter(std::function<void()> show) {
  controller_->hooks().showCurrentChapter = std::move(show);
}

void wireShelf(Tmainform &main, ShelfController &c, BookTree &tree) {
  QObject::connect(&tree, &QWidget::customContextMenuRequested, &main, [&main, &tree](const QPoint &pos) {
    if (main.bookmenu)
      main.bookmenu->popup(tree.viewport()->mapToGlobal(pos));
  });
  Tmainform::wire(main.N6, [&c, &tree] { c.bookviewurl(tree.selectedNode()); });
  Tmainform::wire(main.N7, [&c] { c.deleteBook(); });
  Tmainform::wire(main.RzToolButton17, [&c] { c.deleteBook(); });
  Tmainform::wire(main.N9, [&c] { c.newCategory(); });
  Tmainform::wire(main.N10, [&c] { c.editCategory(); });
  Tmainform::wire(main.N12, [&c] { c.deleteCategory(); });
  Tmainform::wire(main.N88, [&c, &tree] { c.makeebook(tree.selectedNode()); });
  Tmainform::wire(main.RzToolButton13, [&c] { c.ebookButton(); });
}

} // namespace inkwren
