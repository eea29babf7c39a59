#pragma once
// The category dialog "小说分类": one name box (分类名称：) for a new category or for renaming
// the selected one. Enter presses the confirm button; the dialog closes once the shelf has
// stored the name. Main thread only.
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace inkwren {

class Bookshelf;

class Tbtform : public QDialog {
  Q_OBJECT
public:
  explicit Tbtform(Bookshelf &shelf, QWidget *parent = nullptr);

  // Prepares the dialog: empty for a new category, or with the category's name to rename it.
  void prepareNew();
  void prepareEdit(const QString &typeId, const QString &name);
  // The category being renamed; empty when the dialog adds.
  const QString &editedTypeId() const { return editedTypeId_; }

  // The confirm button: a name that is empty after trimming does nothing; otherwise the name as
  // typed is added or stored, and the dialog closes when that succeeded.
  void RzBitBtn1Click();

  QLineEdit *bookt = nullptr;
  QPushButton *RzBitBtn1 = nullptr; // "确认添加" / "确认修改"
  QPushButton *RzBitBtn2 = nullptr; // "取消"

private:
  Bookshelf &shelf_;
  QString editedTypeId_;
};

} // namespace inkwren
