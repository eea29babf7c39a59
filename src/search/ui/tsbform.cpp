#include "search/ui/tsbform.h"

#include "core/ui/dialogparts.h"
#include "rules/ruleset.h"
#include "search/searchsites.h"
#include "search/threadsearch.h"
#include "shelf/bookshelf.h"
#include "shelf/ui/platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace inkwren {
namespace {

const QString kSearch = QStringLiteral("搜索");
const QString kStop = QStringLiteral("停止");

} // namespace

Tsbform::Tsbform(Tools tools, QWidget *parent) : QDialog(parent), tools_(std::move(tools)) {
  setObjectName(QStringLiteral("sbform"));
  setWindowTitle(QStringLiteral("新增小说"));
  auto *layout = new QVBoxLayout(this);

  auto *form = new QFormLayout;
  bookn = new QLineEdit(this);
  bookn->setObjectName(QStringLiteral("bookn"));
  authorn = new QLineEdit(this);
  authorn->setObjectName(QStringLiteral("authorn"));
  bookt = new QComboBox(this);
  bookt->setObjectName(QStringLiteral("bookt"));
  bookm = new QLineEdit(this);
  bookm->setObjectName(QStringLiteral("bookm"));
  RzBitBtn1 = new QToolButton(this);
  RzBitBtn1->setObjectName(QStringLiteral("RzBitBtn1"));
  RzBitBtn1->setText(QStringLiteral("…"));
  RzBitBtn1->setToolTip(QStringLiteral("在浏览器中打开目录地址"));
  auto *mulu = new QHBoxLayout;
  mulu->addWidget(bookm, 1);
  mulu->addWidget(RzBitBtn1);
  form->addRow(QStringLiteral("小说名称："), bookn);
  form->addRow(QStringLiteral("作者："), authorn);
  form->addRow(QStringLiteral("分类："), bookt);
  form->addRow(QStringLiteral("小说目录："), mulu);
  layout->addLayout(form);

  auto *row = new QHBoxLayout;
  downt = new QCheckBox(QStringLiteral("不再更新"), this);
  downt->setObjectName(QStringLiteral("downt"));
  zhunqs = new QCheckBox(QStringLiteral("准确搜索"), this);
  zhunqs->setObjectName(QStringLiteral("zhunqs"));
  sbt = new QComboBox(this);
  sbt->setObjectName(QStringLiteral("sbt"));
  sbt->addItems({QStringLiteral("书名"), QStringLiteral("作者")});
  sbb = dialogButton(kSearch, "sbb", this);
  RzBitBtn2 = dialogButton(QStringLiteral("搜索配置"), "RzBitBtn2", this);
  row->addWidget(downt);
  row->addWidget(zhunqs);
  row->addWidget(new QLabel(QStringLiteral("搜索方式："), this));
  row->addWidget(sbt);
  row->addWidget(sbb);
  row->addWidget(RzBitBtn2);
  row->addStretch(1);
  layout->addLayout(row);

  srlv = new QTreeWidget(this);
  srlv->setObjectName(QStringLiteral("srlv"));
  srlv->setRootIsDecorated(false);
  srlv->setHeaderLabels({QStringLiteral("书名"), QStringLiteral("网站"), QStringLiteral("作者"),
                         QStringLiteral("最新章节"), QStringLiteral("目录地址")});
  for (int c : {0, 2, 3})
    srlv->setColumnWidth(c, c == 3 ? 180 : 140);
  layout->addWidget(srlv, 1);

  auto *confirm = new QHBoxLayout;
  dob = primaryButton(QStringLiteral("确认添加"), "dob", this);
  RzBitBtn4 = dialogButton(QStringLiteral("取消"), "RzBitBtn4", this);
  confirm->addStretch(1);
  confirm->addWidget(dob);
  confirm->addWidget(RzBitBtn4);
  layout->addLayout(confirm);

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setSizeGripEnabled(false);
  panel0 = new QLabel(StatusBar1);
  panel0->setFixedWidth(500);
  panel1 = new QLabel(StatusBar1);
  panel1->setFixedWidth(129);
  StatusBar1->addWidget(panel0);
  StatusBar1->addWidget(panel1);
  layout->addWidget(StatusBar1);

  connect(sbb, &QPushButton::clicked, this, &Tsbform::sbbClick);
  connect(srlv, &QTreeWidget::itemDoubleClicked, this, &Tsbform::srlvDblClick);
  connect(RzBitBtn1, &QToolButton::clicked, this, &Tsbform::RzBitBtn1Click);
  connect(RzBitBtn2, &QPushButton::clicked, this, [this] {
    if (tools_.openSearchConfig)
      tools_.openSearchConfig();
  });
  connect(dob, &QPushButton::clicked, this, &Tsbform::dobClick);
  connect(RzBitBtn4, &QPushButton::clicked, this, &QDialog::reject);
  resize(760, 520);
}

Tsbform::~Tsbform() = default;

void Tsbform::sametype() {
  bookt->clear();
  for (const Bookshelf::Category &c : tools_.shelf.categories())
    bookt->addItem(c.item.name);
  if (bookt->currentIndex() < 0 && bookt->count() > 0)
    bookt->setCurrentIndex(0);
}

void Tsbform::prepareNew(const QString &bookName, const QString &authorName,
                         const QString &typeName, const QString &muluUrl, const QString &exact) {
  editedBookId_.clear();
  sametype();
  setWindowTitle(QStringLiteral("新增小说"));
  dob->setText(QStringLiteral("确认添加"));
  downt->hide();
  bookn->setText(bookName);
  authorn->setText(authorName);
  if (bookt->count() > 0)
    bookt->setCurrentIndex(0);
  const int named = bookt->findText(typeName, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (named >= 0)
    bookt->setCurrentIndex(named);
  bookm->setText(muluUrl);
  // The exact flag is set before a search starts, so the search uses it.
  zhunqs->setChecked(exact == QLatin1String("1"));
  if (!bookName.isEmpty() && muluUrl.isEmpty()) {
    sbt->setCurrentIndex(0);
    if (!searching())
      sbbClick();
  } else if (!authorName.isEmpty() && muluUrl.isEmpty()) {
    sbt->setCurrentIndex(1);
    if (!searching())
      sbbClick();
  }
}

bool Tsbform::prepareProperties(const QString &bookId) {
  const TPItem *book = tools_.shelf.getbn(bookId);
  if (!book)
    return false;
  editedBookId_ = bookId;
  sametype();
  if (const TPItem *category = tools_.shelf.category(tools_.shelf.categoryOf(bookId)))
    bookt->setCurrentIndex(
        std::max(0, bookt->findText(category->name, Qt::MatchExactly | Qt::MatchCaseSensitive)));
  setWindowTitle(QStringLiteral("小说属性"));
  dob->setText(QStringLiteral("确认修改"));
  downt->show();
  downt->setChecked(book->downtype == 1);
  bookn->setText(book->name);
  authorn->setText(book->authorname);
  bookm->setText(book->muluurl);
  zhunqs->setChecked(true);
  return true;
}

void Tsbform::loadss() {
  if (!tools_.rules.ssreload())
    return;
  tools_.rules.setSsreload(false);
  sslv_ = tools_.sites.loadSites();
}

bool Tsbform::searching() const {
  return sbb->text() == kStop;
}

void Tsbform::sbbClick() {
  const bool byAuthor = sbt->currentIndex() == 1;
  const QString key = byAuthor ? authorn->text() : bookn->text();
  if (key.trimmed().isEmpty())
    return;
  sbb->setEnabled(false);
  if (searching()) {
    endsearch();
  } else {
    panel1->clear();
    sbb->setText(kStop);
    srlv->clear();
    loadss();
    panel0->setText(QStringLiteral("开始搜索..."));
    panel1->clear();
    searchthread_.reset();
    searchthread_ = std::make_unique<TThreadSearch>(
        tools_.settings, sslv_,
        SearchQuery{byAuthor ? SearchType::ByAuthor : SearchType::ByName, key, zhunqs->isChecked()},
        TThreadSearch::slotCount(tools_.settings), TThreadSearch::timeoutMs(tools_.settings),
        tick_);
    TThreadSearch *search = searchthread_.get();
    connect(search, &TThreadSearch::hit, this, &Tsbform::addHit);
    connect(search, &TThreadSearch::status, this, [this](int panel, const QString &text) {
      (panel == 0 ? panel0 : panel1)->setText(text);
    });
    connect(search, &TThreadSearch::ended, this, [this] { sbb->setText(kSearch); });
    search->start();
  }
  sbb->setEnabled(true);
}

void Tsbform::endsearch() {
  if (searchthread_)
    searchthread_->endsearch();
  sbb->setText(kSearch);
}

void Tsbform::addHit(const SearchHit &hit) {
  new QTreeWidgetItem(srlv, {hit.name, hit.site, hit.author, hit.latest, hit.url});
}

void Tsbform::srlvDblClick() {
  const QTreeWidgetItem *item = srlv->currentItem();
  if (!item)
    return;
  bookn->setText(item->text(0));
  authorn->setText(item->text(2));
  bookm->setText(item->text(4));
}

void Tsbform::RzBitBtn1Click() {
  const QString address = bookm->text().trimmed();
  if (!address.isEmpty())
    tools_.urls.open(address);
}

void Tsbform::dobClick() {
  if (bookn->text().trimmed().isEmpty() || bookt->currentText().trimmed().isEmpty() ||
      bookm->text().trimmed().isEmpty())
    return;
  const bool done = editedBookId_.isEmpty()
                        ? bool(tools_.shelf.newbook_do(bookt->currentText(), bookn->text(),
                                                       authorn->text(), bookm->text()))
                        : tools_.shelf.editbook_do(editedBookId_, bookn->text(), authorn->text(),
                                                   downt->isChecked() ? 1 : 0, bookm->text(),
                                                   bookt->currentText());
  if (done)
    accept();
}

void Tsbform::done(int result) {
  if (searching())
    endsearch();
  QDialog::done(result);
}

} // namespace inkwren
