#include "shell/ui/mainform.h"

#include "core/settings.h"
#include "core/ui/artwork.h"
#include "shell/ui/aboutform.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>

namespace inkwren {
namespace {

constexpr int kEdge = 5;       // the resize band along the frame
constexpr int kMinWidth = 800; // the frame never gets smaller than this by dragging
constexpr int kMinHeight = 500;
constexpr int kDefaultLeft = 200; // the left pane before its lists are known
constexpr int kMinRight = 300;    // what a stored left pane leaves the page at least

const QColor kFrame(0x1b, 0x22, 0x30);
const QColor kTitle(0x22, 0x2b, 0x3b);
const QColor kAccent(0xf5, 0xa6, 0x23);

// Every rule but the window's own background is scoped to the window's panel, so that none
// reaches the dialogs the window owns (they wear the program's dialog look, whatever their
// parts are named).
const char *const kStyle = R"css(
Tmainform, #mainp { background: #ffffff; }
#mainp #topp { background: #222b3b; }
#mainp #titlel { color: #ffffff; font-weight: bold; font-size: 15px; }
#mainp #skey { background: rgba(255,255,255,0.10); color: #ffffff; border: 1px solid rgba(255,255,255,0.18);
  border-radius: 10px; padding: 0 10px; font-size: 12px; selection-background-color: #f5a623; }
#mainp #skey:focus { background: rgba(255,255,255,0.16); border-color: #f5a623; }
#mainp #RzToolbar1 { background: transparent; border: 0; spacing: 2px; }
#mainp #RzToolbar1 QToolButton { border: 0; border-radius: 4px; padding: 3px; }
#mainp #RzToolbar1 QToolButton:hover { background: rgba(255,255,255,0.14); }
#mainp #barp QToolButton { color: #aab3c2; background: transparent; border: 0; font-size: 14px;
  padding: 0 4px; border-bottom: 3px solid transparent; }
#mainp #barp QToolButton:hover { color: #ffffff; }
#mainp #barp QToolButton:checked { color: #ffffff; font-weight: bold; border-bottom: 3px solid #f5a623; }
#mainp #topline { background: #151b26; }
#mainp #topbar { background: #f6f7f9; border: 0; border-bottom: 1px solid #e3e6eb; spacing: 0; padding: 2px 1px; }
#mainp #topbar QToolButton { color: #3a4252; border: 1px solid transparent; border-radius: 6px; padding: 1px; }
#mainp #topbar QToolButton:hover { background: #e9ecf1; border-color: #dde1e7; }
#mainp #topbar QToolButton:pressed { background: #dfe3ea; }
#mainp #topbar QToolButton:disabled { color: #a9b0bb; }
#mainp QTreeWidget { border: 0; background: #ffffff; alternate-background-color: #fafbfc; outline: 0; }
#mainp QTreeWidget::item { padding: 3px 2px; }
#mainp QTreeWidget::item:selected { background: #fde9c4; color: #1f2633; }
#mainp QHeaderView::section { background: #f6f7f9; color: #596173; border: 0; border-right: 1px solid #e7e9ee;
  border-bottom: 1px solid #e3e6eb; padding: 4px 6px; }
#mainp QSplitter::handle { background: #e3e6eb; border-left: 2px solid #ffffff; border-right: 2px solid #ffffff; }
#mainp QSplitter::handle:hover, #mainp QSplitter::handle:pressed { background: #f5a623; }
#mainp #bottomp { background: #f6f7f9; border-top: 1px solid #e3e6eb; }
#mainp #nowreadxx, #mainp #txtadvlab { color: #6b7384; }
#mainp #downsb { background: #fff8ea; color: #7a5a12; border-top: 1px solid #f3dfb5; }
#mainp #downsb QLabel { color: #7a5a12; padding: 0 6px; }
)css";

QToolButton *titleButton(QToolBar *bar, QAction *a) {
  bar->addAction(a);
  auto *b = qobject_cast<QToolButton *>(bar->widgetForAction(a));
  if (b)
    b->setFixedSize(26, 24);
  return b;
}

QTreeWidget *listView(QWidget *parent, const QStringList &columns, const char *name) {
  auto *v = new QTreeWidget(parent);
  v->setObjectName(QLatin1String(name));
  v->setHeaderLabels(columns);
  v->setRootIsDecorated(false);
  v->setUniformRowHeights(true);
  v->setAlternatingRowColors(true);
  v->setSelectionMode(QAbstractItemView::ExtendedSelection);
  v->header()->setStretchLastSection(true);
  return v;
}

} // namespace

Tmainform::Tmainform(Services &services, const HtmlViewFactory &makeHtmlView, QWidget *parent)
    : QWidget(parent), services_(services) {
  setObjectName(QStringLiteral("Tmainform"));
  setWindowTitle(QStringLiteral("墨鹪"));
  setWindowIcon(artwork::programIcon());
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  setMinimumSize(kMinWidth, kMinHeight);
  setMouseTracking(true);
  QFont f = font();
  f.setPixelSize(13);
  setFont(f);
  setStyleSheet(QString::fromUtf8(kStyle));

  auto *outer = new QVBoxLayout(this);
  outer->setContentsMargins(kEdge, kEdge, kEdge, kEdge);
  outer->setSpacing(0);
  auto *mainp = new QWidget(this);
  mainp->setObjectName(QStringLiteral("mainp"));
  mainp->setAttribute(Qt::WA_StyledBackground);
  outer->addWidget(mainp);
  auto *inner = new QVBoxLayout(mainp);
  inner->setContentsMargins(0, 0, 0, 0);
  inner->setSpacing(0);

  auto *topp = new QWidget(mainp);
  topp->setObjectName(QStringLiteral("topp"));
  topp->setAttribute(Qt::WA_StyledBackground);
  topp->setFixedHeight(60);
  inner->addWidget(topp);
  buildTitleBand(topp);

  auto *mainpp = new QWidget(mainp);
  inner->addWidget(mainpp, 1);
  auto *body = new QVBoxLayout(mainpp);
  body->setContentsMargins(0, 0, 0, 0);
  body->setSpacing(0);
  topbar = new QToolBar(mainpp);
  topbar->setObjectName(QStringLiteral("topbar"));
  topbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  topbar->setIconSize(QSize(24, 24));
  topbar->setFixedHeight(55);
  body->addWidget(topbar);
  buildMenus();
  buildToolbar();
  RzSplitter1 = new QSplitter(Qt::Horizontal, mainpp);
  body->addWidget(RzSplitter1, 1);
  buildBody(mainpp);
  webem = makeHtmlView(RzSplitter1);
  RzSplitter1->addWidget(webem);
  RzSplitter1->setObjectName(QStringLiteral("RzSplitter1"));
  RzSplitter1->setStretchFactor(1, 1);
  RzSplitter1->setChildrenCollapsible(false);
  RzSplitter1->setHandleWidth(5);
  RzSplitter1->setSizes({kDefaultLeft, 600});
  connect(RzSplitter1, &QSplitter::splitterMoved, this, [this] { storeLeftWidth(); });
  downsb = new QStatusBar(mainpp);
  downsb->setObjectName(QStringLiteral("downsb"));
  downsb->setSizeGripEnabled(false);
  downsbPanel0 = new QLabel(downsb);
  downsbPanel0->setFixedWidth(200);
  downsbPanel1 = new QLabel(downsb);
  downsbPanel1->setMinimumWidth(50);
  downsb->addWidget(downsbPanel0);
  downsb->addWidget(downsbPanel1, 1);
  downsb->hide();
  body->addWidget(downsb);

  bottomp = new QWidget(mainp);
  bottomp->setObjectName(QStringLiteral("bottomp"));
  bottomp->setAttribute(Qt::WA_StyledBackground);
  bottomp->setFixedHeight(31);
  inner->addWidget(bottomp);
  buildBottom(bottomp);
  registerCommands();

  resizeSettled_ = new QTimer(this);
  resizeSettled_->setSingleShot(true);
  resizeSettled_->setInterval(400);
  connect(resizeSettled_, &QTimer::timeout, this, [this] {
    if (userResizing_) {
      userResizing_ = false;
      storeGeometry();
    }
  });
  setMaxbPicture();
}

Tmainform::~Tmainform() = default;

void Tmainform::registerCommands() {
  static const std::pair<const char *, QAction * Tmainform::*> kNamed[] = {
      {"RzToolButton5", &Tmainform::RzToolButton5},
      {"RzToolButton6", &Tmainform::RzToolButton6},
      {"RzToolButton7", &Tmainform::RzToolButton7},
      {"minb", &Tmainform::minb},
      {"maxb", &Tmainform::maxb},
      {"closeb", &Tmainform::closeb},
      {"RzToolButton1", &Tmainform::RzToolButton1},
      {"viewstackb", &Tmainform::viewstackb},
      {"ToolButton20", &Tmainform::ToolButton20},
      {"RzToolButton3", &Tmainform::RzToolButton3},
      {"downallb", &Tmainform::downallb},
      {"refreb", &Tmainform::refreb},
      {"RzToolButton13", &Tmainform::RzToolButton13},
      {"RzToolButton15", &Tmainform::RzToolButton15},
      {"RzToolButton16", &Tmainform::RzToolButton16},
      {"RzToolButton17", &Tmainform::RzToolButton17},
      {"RzToolButton2", &Tmainform::RzToolButton2},
      {"downb", &Tmainform::downb},
      {"RzToolButton9", &Tmainform::RzToolButton9},
      {"vnoreadb", &Tmainform::vnoreadb},
      {"vlastb", &Tmainform::vlastb},
      {"vnextb", &Tmainform::vnextb},
      {"RzToolButton12", &Tmainform::RzToolButton12},
      {"RzToolButton8", &Tmainform::RzToolButton8},
      {"RzToolButton18", &Tmainform::RzToolButton18},
      {"RzToolButton4", &Tmainform::RzToolButton4},
      {"N31", &Tmainform::N31},
      {"N32", &Tmainform::N32},
      {"Nviewstackb", &Tmainform::Nviewstackb},
      {"N17", &Tmainform::N17},
      {"N40", &Tmainform::N40},
      {"N41", &Tmainform::N41},
      {"N30", &Tmainform::N30},
      {"N29", &Tmainform::N29},
      {"N35", &Tmainform::N35},
      {"N36", &Tmainform::N36},
      {"N42", &Tmainform::N42},
      {"N11", &Tmainform::N11},
      {"N43", &Tmainform::N43},
      {"N45", &Tmainform::N45},
      {"N111", &Tmainform::N111},
      {"N44", &Tmainform::N44},
      {"N28", &Tmainform::N28},
      {"N2", &Tmainform::N2},
      {"N3", &Tmainform::N3},
      {"N23", &Tmainform::N23},
      {"N38", &Tmainform::N38},
      {"N4", &Tmainform::N4},
      {"N5", &Tmainform::N5},
      {"N6", &Tmainform::N6},
      {"N7", &Tmainform::N7},
      {"N9", &Tmainform::N9},
      {"N10", &Tmainform::N10},
      {"N12", &Tmainform::N12},
      {"N19", &Tmainform::N19},
      {"N20", &Tmainform::N20},
      {"N21", &Tmainform::N21},
      {"N22", &Tmainform::N22},
      {"N14", &Tmainform::N14},
      {"N16", &Tmainform::N16},
      {"N15", &Tmainform::N15},
      {"N88", &Tmainform::N88},
      {"N25", &Tmainform::N25},
      {"Nwebstackview", &Tmainform::Nwebstackview},
      {"N26", &Tmainform::N26},
      {"N27", &Tmainform::N27},
  };
  for (const auto &[name, member] : kNamed)
    addCommand(QLatin1String(name), this->*member);
}

void Tmainform::onQuickSearch(std::function<void(const QString &)> listener) {
  quickSearch_ = std::move(listener);
  SpeedButton9->setEnabled(bool(quickSearch_));
  SpeedButton9->setToolTip(QString());
}

void Tmainform::setAdvertisement(const QString &text) {
  txtadvlab->setText(text);
}

void Tmainform::onAdvertisementClick(std::function<void()> listener) {
  advertisementClick_ = std::move(listener);
  txtadvlab->setCursor(Qt::PointingHandCursor);
}

QAction *Tmainform::command(const QString &name) const {
  return commands_.value(name);
}

void Tmainform::addCommand(const QString &name, QAction *action) {
  if (!action)
    return;
  action->setObjectName(name);
  commands_.insert(name, action);
}

void Tmainform::showPage(int page) {
  switch (page) {
  case ShelfPage:
    topbp1Click();
    break;
  case RankingsPage:
    topbp2Click();
    break;
  case UpdatesPage:
    topbp3Click();
    break;
  case ReadingPage:
    topbp4Click();
    break;
  default:
    break;
  }
}

void Tmainform::onPageChanged(std::function<void(int)> listener) {
  pageListeners_.push_back(std::move(listener));
}

void Tmainform::setUpdateStatus(const QString &panel0, const QString &panel1, bool shown) {
  downsbPanel0->setText(panel0);
  downsbPanel1->setText(panel1);
  downsb->setVisible(shown);
}

bool Tmainform::updateStatusShown() const {
  return !downsb->isHidden();
}

void Tmainform::showReadingTab(const QString &caption, int width) {
  topbp4->setText(caption);
  topbp4->setFixedWidth(width);
  topbp4->show();
}

void Tmainform::hideReadingTab() {
  topbp4->hide();
}

QAction *Tmainform::menuAction(QMenu *menu, const QString &text) {
  auto *a = menu->addAction(text);
  a->setEnabled(false); // until its feature is wired
  return a;
}

void Tmainform::buildTitleBand(QWidget *top) {
  Image3 = new QLabel(top);
  Image3->setPixmap(artwork::logo(48, devicePixelRatioF()));
  Image3->setGeometry(5, 5, 48, 48);

  auto *titlep = new QWidget(top);
  titlep->setObjectName(QStringLiteral("titlep"));
  titlep->installEventFilter(this);
  auto *barp = new QWidget(top);
  barp->setObjectName(QStringLiteral("barp"));
  barp->installEventFilter(this);
  auto *col = new QVBoxLayout(top);
  col->setContentsMargins(64, 0, 0, 0);
  col->setSpacing(0);
  col->addWidget(titlep);
  col->addWidget(barp);
  topline = new QWidget(top);
  topline->setObjectName(QStringLiteral("topline"));
  topline->setAttribute(Qt::WA_StyledBackground);
  topline->setFixedHeight(1);
  col->addWidget(topline);
  titlep->setFixedHeight(22);

  auto *row = new QHBoxLayout(titlep);
  row->setContentsMargins(0, 2, 4, 0);
  row->setSpacing(6);
  titlel = new QLabel(QStringLiteral("墨鹪"), titlep);
  titlel->setObjectName(QStringLiteral("titlel"));
  titlel->installEventFilter(this);
  row->addWidget(titlel);
  row->addStretch(1);
  skey = new QLineEdit(titlep);
  skey->setObjectName(QStringLiteral("skey"));
  skey->setPlaceholderText(QStringLiteral("搜索小说"));
  skey->setFixedSize(180, 20);
  row->addWidget(skey);
  SpeedButton9 = new QToolButton(titlep);
  SpeedButton9->setText(QStringLiteral("搜索"));
  SpeedButton9->setAutoRaise(true);
  SpeedButton9->setStyleSheet(QStringLiteral("color:#d7dce4;"));
  SpeedButton9->setEnabled(false);
  SpeedButton9->setToolTip(QStringLiteral("尚未提供"));
  row->addWidget(SpeedButton9);
  connect(skey, &QLineEdit::returnPressed, SpeedButton9, &QToolButton::click);
  connect(SpeedButton9, &QToolButton::clicked, this, [this] {
    const QString text = skey->text();
    if (!text.isEmpty() && quickSearch_)
      quickSearch_(text);
  });

  auto *bar = new QToolBar(titlep);
  bar->setObjectName(QStringLiteral("RzToolbar1"));
  bar->setIconSize(QSize(16, 16));
  const QColor ink(0xd7, 0xdc, 0xe4);
  auto add = [&](QAction *&a, const char *hint, artwork::TitleIcon icon) {
    a = new QAction(artwork::titleIcon(icon, ink), QString::fromUtf8(hint), this);
    a->setProperty("hint", QString::fromUtf8(hint));
    a->setEnabled(false);
    titleButton(bar, a);
  };
  add(RzToolButton5, "意见反馈", artwork::TitleIcon::Feedback);
  add(RzToolButton6, "皮肤切换", artwork::TitleIcon::Skin);
  add(RzToolButton7, "主菜单", artwork::TitleIcon::Menu);
  add(minb, "最小化", artwork::TitleIcon::Minimize);
  add(maxb, "最大化", artwork::TitleIcon::Maximize);
  add(closeb, "关闭", artwork::TitleIcon::Close);
  row->addWidget(bar);

  wire(RzToolButton7, [this] { mainmenu->popup(QCursor::pos()); });
  wire(minb, [this] { showMinimized(); });
  wire(maxb, [this] { maxbClick(); });

  auto *tabs = new QHBoxLayout(barp);
  tabs->setContentsMargins(0, 0, 0, 0);
  tabs->setSpacing(0);
  buildTabs(barp);
}

void Tmainform::buildTabs(QWidget *bar) {
  auto *tabs = static_cast<QHBoxLayout *>(bar->layout());
  auto tab = [&](const char *text, void (Tmainform::*click)()) {
    auto *t = new QToolButton(bar);
    t->setText(QString::fromUtf8(text));
    t->setCheckable(true);
    t->setFixedSize(80, 37);
    t->setCursor(Qt::PointingHandCursor);
    connect(t, &QToolButton::clicked, this, [this, t, click] {
      t->setChecked(pagestate == pageOf(t));
      (this->*click)();
    });
    tabs->addWidget(t);
    return t;
  };
  topbp1 = tab("我的书架", &Tmainform::topbp1Click);
  topbp2 = tab("小说榜单", &Tmainform::topbp2Click);
  topbp3 = tab("最新更新", &Tmainform::topbp3Click);
  topbp4 = tab("当前阅读", &Tmainform::topbp4Click);
  topbp4->hide();
  tabs->addStretch(1);
}

int Tmainform::pageOf(QToolButton *tab) const {
  if (tab == topbp1)
    return ShelfPage;
  if (tab == topbp2)
    return RankingsPage;
  if (tab == topbp3)
    return UpdatesPage;
  if (tab == topbp4)
    return ReadingPage;
  return NoPage;
}

void Tmainform::buildToolbar() {
  struct Def {
    QAction *Tmainform::*member;
    const char *caption;
    const char *hint;
    int tag;
    const char *glyph;
    QRgb color;
  };
  const Def defs[] = {
      {&Tmainform::RzToolButton1, "用户登录", "用户登陆", 11111, "登", 0x5b7cc4},
      {&Tmainform::viewstackb, "网络书架", "访问我的网络书架", 11000, "网", 0x4a9a8c},
      {&Tmainform::ToolButton20, "上传书架", "上传本地书架至网络书架", 11000, "上", 0x4a9a8c},
      {&Tmainform::RzToolButton3, "下载书架", "下载网络书架至本地书架", 11000, "下", 0x4a9a8c},
      {&Tmainform::downallb, "更新全部", "更新/停止", 11000, "全", 0xe08e1b},
      {&Tmainform::refreb, "刷新", "刷新", 10111, "刷", 0x6c7a91},
      {&Tmainform::RzToolButton13, "制电子书", "制作电子书", 11001, "书", 0x8a6bbf},
      {&Tmainform::RzToolButton15, "新增小说", "新增小说", 11000, "增", 0x3f9d5a},
      {&Tmainform::RzToolButton16, "小说属性", "属性", 11001, "属", 0x6c7a91},
      {&Tmainform::RzToolButton17, "删除小说", "删除小说", 11000, "删", 0xc9534f},
      {&Tmainform::RzToolButton2, "上传", "上传小说", 10001, "传", 0x4a9a8c},
      {&Tmainform::downb, "更新", "更新/停止", 10001, "更", 0xe08e1b},
      {&Tmainform::RzToolButton9, "阅读本书", "阅读本书", 10010, "阅", 0x3f7fbf},
      {&Tmainform::vnoreadb, "未读章节", "跳转至未读章节", 10011, "未", 0x3f7fbf},
      {&Tmainform::vlastb, "上一章", "上一章节", 10011, "上", 0x3f7fbf},
      {&Tmainform::vnextb, "下一章", "下一章节", 10011, "下", 0x3f7fbf},
      {&Tmainform::RzToolButton12, "朗读", "语音朗读", 10011, "读", 0xc0692f},
      {&Tmainform::RzToolButton8, "书签", "加入书签及书签列表", 10001, "签", 0x8a6bbf},
      {&Tmainform::RzToolButton18, "过滤", "加入过滤及过滤列表", 10001, "滤", 0x8a6bbf},
      {&Tmainform::RzToolButton4, "配置", "选项配置", 11111, "配", 0x6c7a91},
  };
  for (const Def &d : defs) {
    auto *a = new QAction(artwork::glyph(QString::fromUtf8(d.glyph), QColor(d.color)),
                          QString::fromUtf8(d.caption), this);
    a->setProperty("hint", QString::fromUtf8(d.hint));
    a->setProperty("tag", d.tag);
    a->setToolTip(QStringLiteral("%1（尚未提供）").arg(QString::fromUtf8(d.hint)));
    a->setEnabled(false);
    this->*d.member = a;
    topbar->addAction(a);
    if (auto *b = qobject_cast<QToolButton *>(topbar->widgetForAction(a)))
      b->setFixedSize(60, 45);
    buttons_.push_back({a, d.tag});
  }
  // "配置" drops the configuration menu down.
  RzToolButton4->setMenu(setmenu);
  if (auto *b = qobject_cast<QToolButton *>(topbar->widgetForAction(RzToolButton4)))
    b->setPopupMode(QToolButton::InstantPopup);
  RzToolButton4->setEnabled(true);
  RzToolButton4->setToolTip(QStringLiteral("选项配置"));
  topbar->installEventFilter(this);
}

void Tmainform::buildMenus() {
  mainmenu = new QMenu(this);
  N31 = menuAction(mainmenu, QStringLiteral("用户登录"));
  N32 = menuAction(mainmenu, QStringLiteral("退出登录"));
  mainmenu->addSeparator();
  Nviewstackb = menuAction(mainmenu, QStringLiteral("访问网络书架"));
  N17 = menuAction(mainmenu, QStringLiteral("上传本地书架"));
  N40 = menuAction(mainmenu, QStringLiteral("下载网络书架"));
  N41 = menuAction(mainmenu, QStringLiteral("清空网络书架"));
  mainmenu->addSeparator();
  N30 = menuAction(mainmenu, QStringLiteral("系统配置"));
  N29 = menuAction(mainmenu, QStringLiteral("搜索配置"));
  N35 = menuAction(mainmenu, QStringLiteral("阅读模板"));
  N36 = menuAction(mainmenu, QStringLiteral("皮肤管理"));
  mainmenu->addSeparator();
  N42 = menuAction(mainmenu, QStringLiteral("官方网站"));
  N11 = menuAction(mainmenu, QStringLiteral("问题反馈"));
  N43 = menuAction(mainmenu, QStringLiteral("使用指南"));
  N45 = menuAction(mainmenu, QStringLiteral("中文朗读"));
  mainmenu->addSeparator();
  N111 = menuAction(mainmenu, QStringLiteral("检测更新"));
  N44 = menuAction(mainmenu, QStringLiteral("关于"));
  mainmenu->addSeparator();
  N28 = menuAction(mainmenu, QStringLiteral("退出"));

  setmenu = new QMenu(this);
  N2 = menuAction(setmenu, QStringLiteral("系统配置"));
  N3 = menuAction(setmenu, QStringLiteral("搜索配置"));
  N23 = menuAction(setmenu, QStringLiteral("阅读模板"));
  N38 = menuAction(setmenu, QStringLiteral("皮肤管理"));
  // Each presses the main-menu item of the same text, and is enabled with it.
  for (auto [item, target] : {std::pair{N2, N30}, {N3, N29}, {N23, N35}, {N38, N36}}) {
    connect(item, &QAction::triggered, target, &QAction::trigger);
    connect(target, &QAction::changed, item,
            [item, target] { item->setEnabled(target->isEnabled()); });
  }

  bookmenu = new QMenu(this);
  N4 = menuAction(bookmenu, QStringLiteral("新增小说"));
  N5 = menuAction(bookmenu, QStringLiteral("小说属性"));
  N6 = menuAction(bookmenu, QStringLiteral("访问网页"));
  N7 = menuAction(bookmenu, QStringLiteral("删除小说"));
  bookmenu->addSeparator();
  N9 = menuAction(bookmenu, QStringLiteral("新增分类"));
  N10 = menuAction(bookmenu, QStringLiteral("修改分类"));
  N12 = menuAction(bookmenu, QStringLiteral("删除分类"));
  bookmenu->addSeparator();
  N19 = menuAction(bookmenu, QStringLiteral("阅读小说"));
  auto *readAloud = bookmenu->addMenu(QStringLiteral("朗读小说"));
  N20 = readAloud->menuAction();
  N21 = menuAction(readAloud, QStringLiteral("从第一章节朗读"));
  N22 = menuAction(readAloud, QStringLiteral("从未读章节朗读"));
  N20->setEnabled(false);
  bookmenu->addSeparator();
  N14 = menuAction(bookmenu, QStringLiteral("下载更新"));
  N16 = menuAction(bookmenu, QStringLiteral("更新全部"));
  N15 = menuAction(bookmenu, QStringLiteral("停止更新"));
  bookmenu->addSeparator();
  N88 = menuAction(bookmenu, QStringLiteral("制作电子书"));
  bookmenu->addSeparator();
  N25 = menuAction(bookmenu, QStringLiteral("上传小说"));
  Nwebstackview = menuAction(bookmenu, QStringLiteral("访问网络书架"));
  N26 = menuAction(bookmenu, QStringLiteral("上传本地书架"));
  N27 = menuAction(bookmenu, QStringLiteral("下载网络书架"));

  wire(N44, [this] { showAbout(); });
  wire(N28, [] { QApplication::exit(0); });
  // Until the close prompt exists, the close button ends the program like "退出".
  wire(closeb, [] { QApplication::exit(0); });
}

void Tmainform::buildBody(QWidget *) {
  leftviews = new QStackedWidget(RzSplitter1);
  leftviews->setMinimumWidth(160);
  booktree = new QTreeWidget(leftviews);
  booktree->setObjectName(QStringLiteral("booktree"));
  booktree->setHeaderHidden(true);
  toptree = new QTreeWidget(leftviews);
  toptree->setObjectName(QStringLiteral("toptree"));
  toptree->setHeaderHidden(true);
  newdlv =
      listView(leftviews,
               {QStringLiteral("小说"), QStringLiteral("章节"), QStringLiteral("更新时间"),
                QStringLiteral("字数"), QStringLiteral("分卷名称"), QStringLiteral("目录地址")},
               "newdlv");
  mululv = listView(leftviews,
                    {QStringLiteral("章节"), QStringLiteral("字数"), QStringLiteral("分卷名称"),
                     QStringLiteral("更新时间"), QStringLiteral("下载地址")},
                    "mululv");
  for (QWidget *w : {static_cast<QWidget *>(booktree), static_cast<QWidget *>(toptree),
                     static_cast<QWidget *>(newdlv), static_cast<QWidget *>(mululv)})
    leftviews->addWidget(w);
  RzSplitter1->addWidget(leftviews);
}

void Tmainform::installLeftView(int page, QTreeWidget *view) {
  auto swap = [this](QTreeWidget *&slot, QTreeWidget *view) {
    if (!view || view == slot)
      return;
    bool front = leftviews->currentWidget() == slot;
    int at = leftviews->indexOf(slot);
    leftviews->insertWidget(at, view);
    leftviews->removeWidget(slot);
    slot->deleteLater();
    slot = view;
    if (front)
      leftviews->setCurrentWidget(view);
  };
  switch (page) {
  case ShelfPage:
    swap(booktree, view);
    break;
  case RankingsPage:
    swap(toptree, view);
    break;
  case UpdatesPage:
    swap(newdlv, view);
    break;
  case ReadingPage:
    swap(mululv, view);
    break;
  default:
    break;
  }
}

void Tmainform::buildBottom(QWidget *bottom) {
  auto *row = new QHBoxLayout(bottom);
  row->setContentsMargins(8, 0, 0, 0);
  row->setSpacing(6);
  auto *RzPanel6 = new QWidget(bottom);
  RzPanel6->setObjectName(QStringLiteral("RzPanel6"));
  RzPanel6->installEventFilter(this);
  row->addWidget(RzPanel6, 1);
  auto *panel = new QHBoxLayout(RzPanel6);
  panel->setContentsMargins(0, 0, 0, 0);
  nowreadxx = new QLabel(RzPanel6);
  nowreadxx->setObjectName(QStringLiteral("nowreadxx"));
  txtadvlab = new QLabel(RzPanel6);
  txtadvlab->setObjectName(QStringLiteral("txtadvlab"));
  txtadvlab->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  txtadvlab->installEventFilter(this);
  panel->addWidget(nowreadxx, 1);
  panel->addWidget(txtadvlab, 1);
  Image1 = new QLabel(bottom);
  Image1->setFixedSize(10, 10);
  Image1->setCursor(Qt::SizeFDiagCursor);
  Image1->installEventFilter(this);
  const qreal dpr = devicePixelRatioF();
  QPixmap grip(QSize(10, 10) * dpr);
  grip.setDevicePixelRatio(dpr);
  grip.fill(Qt::transparent);
  {
    QPainter p(&grip);
    p.setPen(QColor(0xa0, 0xa7, 0xb3));
    for (int i = 0; i < 3; ++i)
      p.drawLine(9, 3 + 3 * i, 3 + 3 * i, 9);
  }
  Image1->setPixmap(grip);
  row->addWidget(Image1, 0, Qt::AlignBottom | Qt::AlignRight);
}

QLabel *Tmainform::installReadAloudControls(QWidget *controls) {
  static_cast<QHBoxLayout *>(bottomp->layout())->insertWidget(0, controls);
  return nowreadxx;
}

void Tmainform::showAbout() {
  if (!about_)
    about_ = new Taboutform(services_.settings, services_.webroot, this);
  about_->exec();
}

void Tmainform::showbar(int mask) {
  for (const TaggedButton &b : buttons_)
    b.action->setVisible(visibleOnPage(b.tag, mask));
  QWidget *front = mask == 1     ? static_cast<QWidget *>(mululv)
                   : mask == 10  ? static_cast<QWidget *>(newdlv)
                   : mask == 100 ? static_cast<QWidget *>(toptree)
                                 : static_cast<QWidget *>(booktree);
  leftviews->setCurrentWidget(front);
}

void Tmainform::choosePage(int page, QToolButton *tab) {
  for (QToolButton *t : {topbp1, topbp2, topbp3, topbp4})
    t->setChecked(t == tab);
  if (pagestate == page)
    return;
  showbar(pageMask(page));
  pagestate = page;
  for (const auto &listener : pageListeners_)
    listener(page);
}

void Tmainform::topbp1Click() {
  choosePage(ShelfPage, topbp1);
}
void Tmainform::topbp2Click() {
  choosePage(RankingsPage, topbp2);
}
void Tmainform::topbp3Click() {
  choosePage(UpdatesPage, topbp3);
}
void Tmainform::topbp4Click() {
  choosePage(ReadingPage, topbp4);
}

void Tmainform::useset() {
  Settings &s = services_.settings;
  s.setLive(false);
  int w = s.number(Settings::width, -1), h = s.number(Settings::height, -1);
  QSize size = this->size();
  if (w > 0)
    size.setWidth(w);
  if (h > 0)
    size.setHeight(h);
  if (QScreen *sc = screen()) {
    QRect area = sc->availableGeometry();
    size = size.boundedTo(area.size());
    resize(size);
    move(area.center() - QPoint(width() / 2, height() / 2));
  } else {
    resize(size);
  }
  s.setLive(true);
  if (s.on(Settings::fullscreen))
    maxbClick();
  // The pane is placed in the window's final size (maximised on a first start).
  placeSplitter();
}

int Tmainform::leftWidthForColumns() const {
  // The columns read on each page: a latest update's book, chapter, time and word count; a
  // chapter's name and word count.
  auto need = [](QTreeWidget *v, int columns) {
    int w = 0;
    for (int c = 0; c < columns && c < v->columnCount(); ++c)
      w += v->header()->sectionSize(c);
    return w + 2 * v->frameWidth() + v->verticalScrollBar()->sizeHint().width() + 2;
  };
  return std::max({kDefaultLeft, need(newdlv, 4), need(mululv, 2)});
}

void Tmainform::placeSplitter() {
  const int total = width() - 2 * kEdge - RzSplitter1->handleWidth();
  int left = services_.settings.number(Settings::leftwidth, -1);
  if (left > 0)
    left = std::min(left, total - kMinRight); // a smaller screen than the last one
  else
    left = std::min(leftWidthForColumns(), total * 45 / 100);
  left = std::max(left, leftviews->minimumWidth());
  RzSplitter1->setSizes({left, std::max(1, total - left)});
}

void Tmainform::storeLeftWidth() {
  Settings &s = services_.settings;
  if (s.live())
    s.store(Settings::leftwidth, QString::number(RzSplitter1->sizes().value(0)));
}

void Tmainform::setMaxbPicture() {
  const QColor ink(0xd7, 0xdc, 0xe4);
  maxb->setIcon(artwork::titleIcon(
      maximized_ ? artwork::TitleIcon::Restore : artwork::TitleIcon::Maximize, ink));
  QString hint = maximized_ ? QStringLiteral("还原") : QStringLiteral("最大化");
  maxb->setText(hint);
  maxb->setToolTip(hint);
  maxb->setProperty("hint", hint);
}

void Tmainform::maxbClick() {
  // Whatever size a user drag left pending is superseded by this one.
  userResizing_ = false;
  resizeSettled_->stop();
  Settings &s = services_.settings;
  QRect area = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
  if (!maximized_) {
    setGeometry(area);
    maximized_ = true;
    s.setValue(Settings::fullscreen, QStringLiteral("1"));
  } else {
    int w = s.number(Settings::width, -1), h = s.number(Settings::height, -1);
    // A stored size that is not a number keeps the window where and as large as it was.
    if (w > 0 && h > 0) {
      w = std::max(w, kMinWidth);
      h = std::max(h, kMinHeight);
      setGeometry(area.left() + (area.width() - w) / 2, area.top() + (area.height() - h) / 2, w, h);
    }
    maximized_ = false;
    s.setValue(Settings::fullscreen, QStringLiteral("0"));
  }
  setMaxbPicture();
  if (s.live())
    s.writesetx(Settings::fullscreen);
}

void Tmainform::beginmove() {
  if (maximized_)
    return;
  if (windowHandle())
    windowHandle()->startSystemMove();
  // A move keeps the frame's size; what a finished move stores is known already.
  storeGeometry();
}

void Tmainform::storeGeometry() {
  Settings &s = services_.settings;
  if (!s.live())
    return;
  s.setValue(Settings::fullscreen, QStringLiteral("0"));
  s.setValue(Settings::width, QString::number(width()));
  s.setValue(Settings::height, QString::number(height()));
  for (int i : {int(Settings::fullscreen), int(Settings::width), int(Settings::height)})
    s.writesetx(i);
}

Qt::Edges Tmainform::edgesAt(const QPoint &pos) const {
  Qt::Edges e;
  if (pos.x() < kEdge)
    e |= Qt::LeftEdge;
  if (pos.x() >= width() - kEdge)
    e |= Qt::RightEdge;
  if (pos.y() < kEdge)
    e |= Qt::TopEdge;
  if (pos.y() >= height() - kEdge)
    e |= Qt::BottomEdge;
  return e;
}

void Tmainform::mouseMoveEvent(QMouseEvent *e) {
  Qt::Edges edges = maximized_ ? Qt::Edges() : edgesAt(e->position().toPoint());
  Qt::CursorShape shape = Qt::ArrowCursor;
  if (edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge))
    shape = Qt::SizeFDiagCursor;
  else if (edges == (Qt::RightEdge | Qt::TopEdge) || edges == (Qt::LeftEdge | Qt::BottomEdge))
    shape = Qt::SizeBDiagCursor;
  else if (edges & (Qt::TopEdge | Qt::BottomEdge))
    shape = Qt::SizeVerCursor;
  else if (edges & (Qt::LeftEdge | Qt::RightEdge))
    shape = Qt::SizeHorCursor;
  setCursor(shape);
  QWidget::mouseMoveEvent(e);
}

void Tmainform::mousePressEvent(QMouseEvent *e) {
  if (e->button() == Qt::LeftButton && !maximized_) {
    Qt::Edges edges = edgesAt(e->position().toPoint());
    if (edges && windowHandle()) {
      userResizing_ = true;
      windowHandle()->startSystemResize(edges);
      return;
    }
    beginmove();
    return;
  }
  QWidget::mousePressEvent(e);
}

bool Tmainform::eventFilter(QObject *watched, QEvent *event) {
  auto *w = qobject_cast<QWidget *>(watched);
  if (w && event->type() == QEvent::MouseButtonPress) {
    auto *me = static_cast<QMouseEvent *>(event);
    if (me->button() == Qt::LeftButton) {
      if (w == txtadvlab && advertisementClick_) {
        advertisementClick_();
        return true;
      }
      if (w == Image1) {
        userResizing_ = true;
        if (windowHandle())
          windowHandle()->startSystemResize(Qt::RightEdge | Qt::BottomEdge);
        if (maximized_) {
          maximized_ = false;
          setMaxbPicture();
        }
        return true;
      }
      // Title band, title label, tab band, toolbar background and bottom panel move the window
      // (presses on the toolbar's buttons go to the buttons, not through here).
      beginmove();
      return true;
    }
  }
  if (w && event->type() == QEvent::MouseButtonDblClick &&
      (w->objectName() == QLatin1String("titlep") || w == titlel)) {
    maxbClick();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void Tmainform::resizeEvent(QResizeEvent *e) {
  QWidget::resizeEvent(e);
  if (userResizing_)
    resizeSettled_->start();
}

void Tmainform::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.fillRect(rect(), kTitle);
  p.setPen(kFrame);
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void Tmainform::showEvent(QShowEvent *e) {
  QWidget::showEvent(e);
  raise();
  activateWindow();
}

} // namespace inkwren
