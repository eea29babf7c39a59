#pragma once
// The search configuration "搜索配置": the search sites as a list with check boxes (checked =
// enabled), in search order. The user checks, inverts, orders (enabled first, by a column, by
// dragging a row), finds a row, and saves the choice to the choice file. Every showing rebuilds
// the list from the choice file and the search-site list; changes count only once saved.
//
// The choice travels to and from the network service ("上传" / "下载", behind the login) once
// the service client is given; until then those two buttons stay disabled.
//
// Main thread only.
#include "core/ui/checklist.h"
#include "search/searchsite.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QToolButton;

namespace inkwren {

class Messages;
class RuleSet;
class ServiceClient;
class SearchSites;

class Tbssform : public QDialog {
  Q_OBJECT
public:
  Tbssform(const SearchSites &sites, RuleSet &rules, Messages &messages, QWidget *parent = nullptr);

  // "刷新重置": the list anew from the files, unsaved changes dropped.
  void Button7Click();
  // "全选": every row takes the state of the box.
  void RzCheckBox1Click();
  // "反选": every row's check inverted.
  void RzBitBtn1Click();
  // "按启用排序": checked rows to the top, each group keeping its order.
  void RzBitBtn3Click();
  // "搜索": selects the first row whose name or address contains the text of skey.
  void SpeedButton1Click();
  // "保存": writes the choice file and tells the add-book dialog to reload its sites.
  void RzBitBtn5Click();
  // The network service for "上传" and "下载" (enables both buttons).
  void setService(ServiceClient *service);
  // "上传": the rows as they stand (saved or not) become the choice kept on the service.
  void RzBitBtn2Click();
  // "下载": the choice kept on the service replaces the choice file and the list is rebuilt.
  // A list that did not arrive whole changes nothing. The add-book dialog keeps its sites
  // until the next save here.
  void RzBitBtn4Click();
  // A click on a column header: sorts by it, descending and ascending in turn (the first
  // click of the run descending), letters compared without regard to ASCII case.
  void ListView1ColumnClick(int column);
  // What a drop does: the row at from goes in front of the row at before.
  void moveRow(int from, int before);

  // The rows as they stand.
  std::vector<SiteRow> rows() const;

  CheckList *ListView1 = nullptr;
  QPushButton *Button7 = nullptr;
  QCheckBox *RzCheckBox1 = nullptr;
  QPushButton *RzBitBtn1 = nullptr;
  QPushButton *RzBitBtn3 = nullptr;
  QLineEdit *skey = nullptr;
  QToolButton *SpeedButton1 = nullptr;
  QPushButton *RzBitBtn5 = nullptr;
  QPushButton *RzBitBtn2 = nullptr; // "上传"
  QPushButton *RzBitBtn4 = nullptr; // "下载"

protected:
  void showEvent(QShowEvent *e) override;

private:
  const SearchSites &sites_;
  RuleSet &rules_;
  Messages &messages_;
  ServiceClient *service_ = nullptr;
};

} // namespace inkwren
