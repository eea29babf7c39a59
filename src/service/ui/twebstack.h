#pragma once
// The network bookshelf window "我的网络书架": the logged-in user's network shelf as a list
// with check boxes (name, author, category, table-of-contents address). The user finds a row,
// sorts, reorders by dragging, deletes rows, saves the list back to the service as the new
// network shelf, and adds checked (or all) rows to the local shelf. Every showing reloads the
// list from the service; changes reach the service only through "保存", which is offered only
// while the list shown is the one the service sent (an empty list left by a failed reload is
// never saved over the network shelf).
//
// Main thread only.
#include "core/ui/checklist.h"
#include "service/serviceclient.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace inkwren {

class Messages;
class NetworkShelf;

class Twebstack : public QDialog {
  Q_OBJECT
public:
  Twebstack(ServiceClient &service, NetworkShelf &netshelf, Messages &messages,
            QWidget *parent = nullptr);

  // "刷新": the list anew from the service (behind the login guard).
  void RzButton6Click();
  // "搜索": the next row after the selected one whose name or author contains the search
  // text, wrapping round to the first row once.
  void SpeedButton1Click();
  // "全选": every row's check box takes the state of the box.
  void RzCheckBox1Click();
  // "反选": every row's check box inverted.
  void RzButton1Click();
  // "下载" / "下载全部": the checked rows / all rows added to the local shelf, skipping novels
  // it already holds.
  void RzBitBtn2Click();
  void RzBitBtn1Click();
  // "删除" / "删除全部": after a question; nothing is sent.
  void RzBitBtn3Click();
  void RzBitBtn4Click();
  // "保存": the rows in their order become the network shelf. Only once the list has been read
  // from the service: after a failed reload the button is disabled.
  void RzBitBtn5Click();
  // A click on a column header: sorts by it, descending and ascending in turn, one direction
  // flag for all columns; letters compared without regard to ASCII case.
  void RzListView1ColumnClick(int column);
  // What a drop does: the row at from goes just in front of the row at before.
  void moveRow(int from, int before);

  // The rows as they stand, all or only the checked ones.
  QList<StackEntry> entries(bool checkedOnly = false) const;

  QLineEdit *RzEdit1 = nullptr;
  QToolButton *SpeedButton1 = nullptr;
  QPushButton *RzButton6 = nullptr; // "刷新"
  QCheckBox *RzCheckBox1 = nullptr; // "全选"
  QPushButton *RzButton1 = nullptr; // "反选"
  QPushButton *RzBitBtn2 = nullptr; // "下载"
  QPushButton *RzBitBtn1 = nullptr; // "下载全部"
  QPushButton *RzBitBtn3 = nullptr; // "删除"
  QPushButton *RzBitBtn4 = nullptr; // "删除全部"
  QPushButton *RzBitBtn5 = nullptr; // "保存"
  CheckList *RzListView1 = nullptr;

protected:
  void showEvent(QShowEvent *e) override;

private:
  void addRow(const StackEntry &entry);

  ServiceClient &service_;
  NetworkShelf &netshelf_;
  Messages &messages_;
};

} // namespace inkwren
