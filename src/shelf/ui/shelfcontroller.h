#pragma once
// The bookshelf's commands: the shelf menu (book properties, visit page, delete book, new,
// rename and delete category, e-book), the Delete key on the tree, and the chapter list's
// pop-up menu zjmenu with selecting, marking, converting, editing, adding, importing,
// sorting, the move lock and deleting. Commands of later features sit in zjmenu disabled
// until they are wired (跳转, 重新下载, 同步网络顺序, 访问章节地址, 语音朗读).
// Main thread only.
#include "core/services.h"
#include "shelf/bookshelf.h"
#include "shelf/chapterfiles.h"
#include "shelf/chapterstore.h"
#include "shelf/conversions.h"

#include <QObject>

#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace inkwren {

class BookTree;
class ChapterList;
class CurrentBook;
class FileDialogs;
class LatestList;
class Tbtform;
class Tzjsxform;
class UrlOpener;

// What the shelf needs from the rest of the program.
struct ShelfHooks {
  std::function<bool()> updateRunning;             // an update run is going on
  std::function<int()> pagestate;                  // the current page, 1..4
  std::function<void()> showCurrentChapter;        // show the chapter again in the reading page
  std::function<void(const QString &bookId)> openBookProperties; // the add-book dialog, properties mode
};

class ShelfController : public QObject {
  Q_OBJECT
public:
  ShelfController(Services &services, Bookshelf &shelf, ChapterStore &chapters,
                  const ChapterFiles &files, CurrentBook &current, BookTree &tree,
                  ChapterList &list, LatestList &latest, FileDialogs &dialogs, UrlOpener &urls,
                  ShelfHooks hooks, QWidget *window = nullptr);
  ~ShelfController() override;

  // Shelf menu.
  void bookshuxing(const ShelfNode &node);   // N5
  void bookviewurl(const ShelfNode &node);   // N6
  void deleteBook();                         // N7, toolbar "删除小说"
  void newCategory();                        // N9
  void editCategory();                       // N10
  void deleteCategory();                     // N12
  void makeebook(const ShelfNode &node);     // N88
  void treeDeleteKey();                      // Delete on the tree
  // Toolbar "小说属性" and "制电子书": the current book on "当前阅读", else the tree's selection.
  void bookPropertiesButton();
  void ebookButton();

  // Chapter list.
  void pick(int which);          // the "选择" commands, ChapterPick order
  void mulubiaoj(int mode);      // the "标记" commands
  void zjdel();                  // "删除"
  void bianma(int mode);         // "编码"
  void editChapterText();        // N70 "编辑章节内容"
  void chapterProperties(int command); // 0 N71 edit, 1 N93 new, 2 N94 insert
  void importFile();             // N80
  void importFile(const QString &path);
  void sortBy(int mode);         // N95..N97: modes 1..3
  void headerClicked(int column); // sorting by column, after a question
  void toggleMoveLock();         // N112

  QMenu *zjmenu = nullptr;
  QAction *N47 = nullptr, *N52 = nullptr, *N49 = nullptr, *N50 = nullptr, *N53 = nullptr,
          *N54 = nullptr, *N55 = nullptr, *N56 = nullptr, *N58 = nullptr, *N59 = nullptr,
          *N61 = nullptr, *N62 = nullptr, *N90 = nullptr, *N91 = nullptr, *N63 = nullptr,
          *N64 = nullptr, *N66 = nullptr, *N67 = nullptr, *Unicode1 = nullptr, *N70 = nullptr,
          *N71 = nullptr, *N73 = nullptr, *N74 = nullptr, *N76 = nullptr, *N93 = nullptr,
          *N94 = nullptr, *N80 = nullptr, *N95 = nullptr, *N96 = nullptr, *N97 = nullptr,
          *N98 = nullptr, *N112 = nullptr, *N78 = nullptr, *N81 = nullptr, *N82 = nullptr;

  Conversions &conversions() { return conversions_; }
  // The hooks may be completed later by the features that provide them.
  ShelfHooks &hooks() { return hooks_; }

private:
  void buildChapterMenu();
  bool refuseWhileUpdating();
  QString bookIdOf(const ShelfNode &node) const;

  Services &services_;
  Bookshelf &shelf_;
  ChapterStore &chapters_;
  const ChapterFiles &files_;
  CurrentBook &current_;
  BookTree &tree_;
  ChapterList &list_;
  LatestList &latest_;
  FileDialogs &dialogs_;
  UrlOpener &urls_;
  ShelfHooks hooks_;
  QWidget *window_;
  Conversions conversions_;
  Tbtform *btform_ = nullptr;
  Tzjsxform *zjsxform_ = nullptr;
};

} // namespace inkwren
