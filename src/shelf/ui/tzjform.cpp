#include "shelf/ui/tzjform.h"

#include "core/codec.h"
#include "core/messages.h"
#include "shelf/chapterfiles.h"
#include "shelf/chapterstore.h"
#include "shelf/currentbook.h"
#include "shelf/ui/chapterlist.h"
#include "shelf/ui/findreplacedialog.h"

#include <QAction>
#include <QEvent>
#include <QPlainTextEdit>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace inkwren {

Tzjform::Tzjform(Services &services, const ChapterFiles &files, ChapterStore &store,
                 ChapterList &list, CurrentBook &current, std::function<int()> pagestate,
                 QWidget *parent)
    : QDialog(parent), services_(services), files_(files), store_(store), list_(list),
      current_(current), pagestate_(std::move(pagestate)) {
  setObjectName(QStringLiteral("zjform"));
  setWindowTitle(QStringLiteral("编辑章节"));
  setSizeGripEnabled(true);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  toolbar = new QToolBar(this);
  layout->addWidget(toolbar);
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setUndoRedoEnabled(false); // the editor keeps its own single-level undo
  layout->addWidget(Memo1, 1);

  auto add = [this](QStyle::StandardPixmap icon, const QString &hint) {
    QAction *a = toolbar->addAction(style()->standardIcon(icon), hint);
    a->setToolTip(hint);
    return a;
  };
  RzToolButton1 = add(QStyle::SP_DialogSaveButton, QStringLiteral("保存"));
  RzToolButton2 = add(QStyle::SP_BrowserReload, QStringLiteral("重置刷新"));
  toolbar->addSeparator();
  RzToolButton3 = add(QStyle::SP_DialogDiscardButton, QStringLiteral("剪切"));
  RzToolButton4 = add(QStyle::SP_FileDialogDetailedView, QStringLiteral("复制"));
  RzToolButton5 = add(QStyle::SP_DialogApplyButton, QStringLiteral("粘贴"));
  toolbar->addSeparator();
  RzToolButton6 = add(QStyle::SP_ArrowBack, QStringLiteral("后退"));
  RzToolButton7 = add(QStyle::SP_ArrowForward, QStringLiteral("前进"));
  RzToolButton8 = add(QStyle::SP_FileDialogContentsView, QStringLiteral("搜索替换"));
  toolbar->addSeparator();
  RzToolButton9 = add(QStyle::SP_DialogCloseButton, QStringLiteral("退出"));

  connect(RzToolButton1, &QAction::triggered, this, [this] { save(); });
  connect(RzToolButton2, &QAction::triggered, this, &Tzjform::reload);
  connect(RzToolButton3, &QAction::triggered, this, [this] {
    endEdit();
    Memo1->cut();
    endEdit();
  });
  connect(RzToolButton4, &QAction::triggered, Memo1, &QPlainTextEdit::copy);
  connect(RzToolButton5, &QAction::triggered, this, [this] {
    endEdit();
    Memo1->paste();
    endEdit();
  });
  connect(RzToolButton6, &QAction::triggered, this, &Tzjform::undo);
  connect(RzToolButton7, &QAction::triggered, this, &Tzjform::undo);
  connect(RzToolButton8, &QAction::triggered, this, [this] { findReplace().show(); });
  connect(RzToolButton9, &QAction::triggered, this, &QDialog::accept);
  connect(Memo1, &QPlainTextEdit::textChanged, this, &Tzjform::textChanged);
  // A click in the text ends the current typing run: the next edit is a new undo step.
  Memo1->viewport()->installEventFilter(this);
  resize(640, 480);
}

FindReplaceDialog &Tzjform::findReplace() {
  if (!findReplace_) {
    findReplace_ = new FindReplaceDialog(services_.messages, *Memo1, this);
    connect(findReplace_, &FindReplaceDialog::aboutToReplace, this, [this] { endEdit(); });
  }
  return *findReplace_;
}

bool Tzjform::openChapter() {
  QTreeWidgetItem *item = list_.selectedRow();
  if (!item || !current_.isOpen())
    return false;
  bookId_ = current_.id();
  chapterId_ = ChapterList::chapterId(item);
  reload();
  return true;
}

void Tzjform::setText(const QString &text) {
  loading_ = true;
  Memo1->setPlainText(text);
  loading_ = false;
  lastText_ = Memo1->toPlainText();
  undoText_.clear();
  canUndo_ = false;
  inEdit_ = false;
}

void Tzjform::reload() {
  QString text = codec::decode(files_.readChapter(bookId_, chapterId_));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  if (text.endsWith(u'\n'))
    text.chop(1); // the last line's break is the file's, not an empty line of the text
  setText(text);
}

void Tzjform::textChanged() {
  if (loading_)
    return;
  if (!inEdit_) {
    undoText_ = lastText_;
    canUndo_ = true;
    inEdit_ = true;
  }
  lastText_ = Memo1->toPlainText();
}

void Tzjform::undo() {
  if (!canUndo_)
    return;
  const QString before = undoText_;
  const QString now = Memo1->toPlainText();
  loading_ = true;
  Memo1->setPlainText(before);
  loading_ = false;
  lastText_ = before;
  undoText_ = now;
  inEdit_ = false;
}

bool Tzjform::eventFilter(QObject *watched, QEvent *event) {
  if (watched == Memo1->viewport() && event->type() == QEvent::MouseButtonPress)
    endEdit();
  return QDialog::eventFilter(watched, event);
}

bool Tzjform::save() {
  const QString text = Memo1->toPlainText();
  const QByteArray gbk = codec::encode(text);
  if (!files_.writeChapter(bookId_, chapterId_, gbk))
    return false;
  if (pagestate_ && pagestate_() == 4) {
    const int words = ChapterFiles::zishutj(gbk);
    store_.setWords(bookId_, chapterId_, words);
    if (QTreeWidgetItem *item = list_.getzjTListItem(chapterId_))
      item->setText(ChapterList::WordsColumn, QString::number(words));
  }
  services_.messages.tsxx(QStringLiteral("保存成功!"));
  return true;
}

} // namespace inkwren
