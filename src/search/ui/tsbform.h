#pragma once
// The add-book dialog "新增小说" and, for a book on the shelf, its properties "小说属性": the
// novel's name, author, category and table-of-contents address, typed or taken from a hit of a
// search over the enabled search sites. Confirming adds the book (its first update starts when
// no update runs) or stores its properties, and closes the dialog.
//
// The sites a search runs over (`sslv`) are rebuilt only when the rules say so (`ssreload`:
// at start, after the search configuration was saved, after a new rule file arrived), and only
// when a search starts. Closing the dialog ends a running search.
//
// Main thread only.
#include "search/searchsite.h"

#include <QDialog>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QToolButton;
class QTreeWidget;

namespace inkwren {

class Bookshelf;
class RuleSet;
class SearchSites;
class Settings;
class TThreadSearch;
class UrlOpener;

class Tsbform : public QDialog {
  Q_OBJECT
public:
  struct Tools {
    Bookshelf &shelf;
    RuleSet &rules;
    const SearchSites &sites;
    const Settings &settings;
    UrlOpener &urls;
    std::function<void()> openSearchConfig; // "搜索配置"
  };

  explicit Tsbform(Tools tools, QWidget *parent = nullptr);
  ~Tsbform() override;

  // Add mode with these fields (any may be empty); starts a search by name (or else by author)
  // when a name (or an author) is given without an address. Does not show the dialog.
  void prepareNew(const QString &bookName, const QString &authorName, const QString &typeName,
                  const QString &muluUrl, const QString &exact);
  // Properties mode for a book of the shelf; false when there is no such book.
  bool prepareProperties(const QString &bookId);
  // The book being edited; empty in add mode.
  const QString &editedBookId() const { return editedBookId_; }

  // Fills the category list with the shelf's categories, in shelf order.
  void sametype();
  // Rebuilds the sites to search when the rules ask for it.
  void loadss();
  const std::vector<SearchSite> &sslv() const { return sslv_; }

  // Handlers.
  void sbbClick();
  void srlvDblClick();
  void RzBitBtn1Click();
  void dobClick();
  // Whether a search runs ("停止" on sbb).
  bool searching() const;
  TThreadSearch *searchthread() const { return searchthread_.get(); }

  // The length of a search tick (tests shorten it).
  void setTick(std::chrono::milliseconds tick) { tick_ = tick; }

  QLineEdit *bookn = nullptr;
  QLineEdit *authorn = nullptr;
  QComboBox *bookt = nullptr;
  QLineEdit *bookm = nullptr;
  QToolButton *RzBitBtn1 = nullptr;
  QCheckBox *downt = nullptr;
  QCheckBox *zhunqs = nullptr;
  QComboBox *sbt = nullptr;
  QPushButton *sbb = nullptr;
  QPushButton *RzBitBtn2 = nullptr;
  QPushButton *dob = nullptr;
  QPushButton *RzBitBtn4 = nullptr;
  QTreeWidget *srlv = nullptr;
  QStatusBar *StatusBar1 = nullptr;
  QLabel *panel0 = nullptr, *panel1 = nullptr;

public Q_SLOTS:
  // Closing, also through "取消": a running search ends first.
  void done(int result) override;

private:
  void endsearch();
  void addHit(const SearchHit &hit);

  Tools tools_;
  QString editedBookId_;
  std::vector<SearchSite> sslv_;
  std::unique_ptr<TThreadSearch> searchthread_;
  std::chrono::milliseconds tick_{100};
};

} // namespace inkwren
