#pragma once
// The search windows inside the program: the add-book dialog and the search configuration,
// opened by "新增小说" (toolbar and shelf menu), the quick search box of the main window,
// "搜索配置" and the shelf's "小说属性". Made once by the program's entry, after the shelf.
// Main thread only.
#include "search/searchsites.h"
#include "shelf/bookshelf.h"
#include "shelf/ui/platform.h"

#include <QString>

#include <functional>
#include <memory>

class QDialog;

namespace inkwren {

class Messages;
class RuleSet;
class Settings;
class ShelfWiring;
class ShellHost;
class Tbssform;
class Tsbform;

// The parts of the program's graph the search windows work on.
struct SearchModel {
  Bookshelf &shelf;
  RuleSet &rules;
  const Settings &settings;
  Messages &messages;
  QString choiceFile; // "db/searchset.dat" in the data folder
};

class SearchWiring {
public:
  SearchWiring(ShellHost &shell, ShelfWiring &shelf, SearchModel model);
  ~SearchWiring();

  // Opens the add-book dialog in add mode with these fields (`newbook`).
  void newbook(const QString &bookName = {}, const QString &authorName = {},
               const QString &typeName = {}, const QString &muluUrl = {},
               const QString &exact = {});
  // The category "新增小说" of the shelf menu proposes: the selected category, the category of
  // the selected book, else none.
  static QString categoryFor(const Bookshelf &shelf, const ShelfNode &selected);
  // Opens the search configuration.
  void searchConfig();

  Tsbform &sbform() { return *sbform_; }
  Tbssform &bssform() { return *bssform_; }

  // How a dialog is shown: modally by default (tests show it without waiting).
  std::function<void(QDialog &)> showModal;

private:
  ShellHost &shell_;
  SearchModel model_;
  SearchSites sites_;
  DesktopUrlOpener urls_;
  std::unique_ptr<Tbssform> bssform_;
  std::unique_ptr<Tsbform> sbform_;
};

} // namespace inkwren
