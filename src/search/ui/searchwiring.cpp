#include "search/ui/searchwiring.h"

#include "core/ui/shellhost.h"
#include "search/ui/tbssform.h"
#include "search/ui/tsbform.h"
#include "shelf/ui/booktree.h"
#include "shelf/ui/shelfwiring.h"

namespace inkwren {

SearchWiring::SearchWiring(ShellHost &shell, ShelfWiring &shelf, SearchModel model)
    : showModal([](QDialog &d) { d.exec(); }), shell_(shell), model_(std::move(model)),
      sites_(model_.rules, SearchSetFile(model_.choiceFile)) {
  bssform_ = std::make_unique<Tbssform>(sites_, model_.rules, model_.messages, shell.window());
  sbform_ =
      std::make_unique<Tsbform>(Tsbform::Tools{model_.shelf, model_.rules, sites_, model_.settings,
                                               urls_, [this] { searchConfig(); }},
                                shell.window());

  shell.wire(QStringLiteral("RzToolButton15"), [this] { newbook(); });
  shell.wire(QStringLiteral("N4"), [this, &shelf] {
    newbook({}, {}, categoryFor(model_.shelf, shelf.tree().selectedNode()));
  });
  shell.wire(QStringLiteral("N29"), [this] { searchConfig(); });
  shell.onQuickSearch([this](const QString &text) {
    try {
      newbook(text);
    } catch (...) {
      // A command never takes the window down with it.
    }
  });
  shelf.setBookPropertiesDialog([this](const QString &bookId) {
    if (sbform_->prepareProperties(bookId))
      showModal(*sbform_);
  });
}

SearchWiring::~SearchWiring() = default;

void SearchWiring::newbook(const QString &bookName, const QString &authorName,
                           const QString &typeName, const QString &muluUrl, const QString &exact) {
  sbform_->prepareNew(bookName, authorName, typeName, muluUrl, exact);
  showModal(*sbform_);
}

QString SearchWiring::categoryFor(const Bookshelf &shelf, const ShelfNode &selected) {
  const QString typeId = selected.kind == ShelfNode::Category ? selected.id
                         : selected.kind == ShelfNode::Book   ? shelf.categoryOf(selected.id)
                                                              : QString();
  const TPItem *category = typeId.isEmpty() ? nullptr : shelf.category(typeId);
  return category ? category->name : QString();
}

void SearchWiring::searchConfig() {
  showModal(*bssform_);
}

} // namespace inkwren
