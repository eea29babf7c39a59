#pragma once
// The main window Tmainform: a frameless window with its own title band, the four page tabs,
// the main toolbar whose buttons show per page, the main menu and the shelf menu, the splitter
// with the four left-hand views and the right-hand HTML view webem, the bottom bar and the
// download status bar downsb. Every menu item and toolbar button is a QAction named as the
// system names it; a command whose feature is not built yet stays visibly disabled until
// something is wired to it. The subsystems' windows see the window only as a ShellHost: they
// find its commands by name and never reach its widgets. Main thread only.
#include "core/services.h"
#include "core/ui/filedialogs.h"
#include "core/ui/htmlview.h"
#include "core/ui/pagemask.h"
#include "core/ui/shellhost.h"

#include <QWidget>

#include <QHash>

#include <functional>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QSplitter;
class QStackedWidget;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;

namespace inkwren {

class Taboutform;

class Tmainform : public QWidget, public ShellHost {
  Q_OBJECT
public:
  Tmainform(Services &services, const HtmlViewFactory &makeHtmlView, QWidget *parent = nullptr);
  ~Tmainform() override;

  Services &services() { return services_; }

  using ShellHost::wire;

  // ShellHost.
  QAction *command(const QString &name) const override;
  void addCommand(const QString &name, QAction *action) override;
  int page() const override { return pagestate; }
  void showPage(int page) override;
  void onPageChanged(std::function<void(int page)> listener) override;
  void setUpdateStatus(const QString &panel0, const QString &panel1, bool shown) override;
  bool updateStatusShown() const override;
  void showReadingTab(const QString &caption, int width) override;
  void hideReadingTab() override;
  void installLeftView(int page, QTreeWidget *view) override;
  QMenu *shelfMenu() const override { return bookmenu; }
  HtmlView &htmlView() override { return *webem; }
  void onQuickSearch(std::function<void(const QString &text)> listener) override;
  void setAdvertisement(const QString &text) override;
  void onAdvertisementClick(std::function<void()> listener) override;
  QLabel *installReadAloudControls(QWidget *controls) override;
  QWidget *window() override { return this; }
  FileDialogs &fileDialogs() override { return *fileDialogs_; }
  // Replaces the system's open and save dialogs (tests), before the subsystems are wired.
  void setFileDialogs(FileDialogs &dialogs) { fileDialogs_ = &dialogs; }
  void applySettings() override { useset(); }

  // Applies the settings at start-up: window size clamped to the screen, then the full-screen
  // state. The settings-live flag is clear while the values are applied and set afterwards.
  void useset();

  // Page tabs. Each does nothing when its page is already the current one.
  void topbp1Click();
  void topbp2Click();
  void topbp3Click();
  void topbp4Click();
  // Shows the main-toolbar buttons of the page with mask m and brings its left view to the front.
  void showbar(int mask);
  int pagestate = NoPage;

  // Maximise or restore; the state lives in maxb's picture and the fullscreen setting.
  void maxbClick();
  bool maximized() const { return maximized_; }
  // Starts moving the window (only while not maximised).
  void beginmove();
  // Stores fullscreen "0" and the frame's size, when settings are live.
  void storeGeometry();
  // The left pane: the stored width (leftwidth) or, until the user drags the splitter, wide
  // enough for the columns of the lists; a drag stores the new width when settings are live.
  void placeSplitter();
  int leftWidthForColumns() const;
  void storeLeftWidth();

  // Number guards for skin background settings.
  static int getgd(int n) { return n >= 1 && n <= 9 ? n : 0; }
  static int getis(int n) { return n >= 1 && n <= 4 ? n : 0; }

  // Parts of the window.
  QLabel *Image3 = nullptr;  // logo
  QLabel *titlel = nullptr;  // product name
  QLineEdit *skey = nullptr; // quick search
  QToolButton *SpeedButton9 = nullptr;
  QToolButton *topbp1 = nullptr, *topbp2 = nullptr, *topbp3 = nullptr, *topbp4 = nullptr;
  QWidget *topline = nullptr;
  QToolBar *topbar = nullptr;
  QSplitter *RzSplitter1 = nullptr;
  QStackedWidget *leftviews = nullptr;
  QTreeWidget *booktree = nullptr;
  QTreeWidget *toptree = nullptr;
  QTreeWidget *newdlv = nullptr;
  QTreeWidget *mululv = nullptr;
  HtmlView *webem = nullptr;
  QWidget *bottomp = nullptr;
  QLabel *nowreadxx = nullptr;
  QLabel *txtadvlab = nullptr;
  QLabel *Image1 = nullptr; // resize grip
  QStatusBar *downsb = nullptr;
  QLabel *downsbPanel0 = nullptr, *downsbPanel1 = nullptr;
  QMenu *mainmenu = nullptr, *setmenu = nullptr, *bookmenu = nullptr;

  // Title-bar toolbar.
  QAction *RzToolButton5 = nullptr, *RzToolButton6 = nullptr, *RzToolButton7 = nullptr;
  QAction *minb = nullptr, *maxb = nullptr, *closeb = nullptr;
  // Main toolbar, in order.
  QAction *RzToolButton1 = nullptr, *viewstackb = nullptr, *ToolButton20 = nullptr,
          *RzToolButton3 = nullptr, *downallb = nullptr, *refreb = nullptr,
          *RzToolButton13 = nullptr, *RzToolButton15 = nullptr, *RzToolButton16 = nullptr,
          *RzToolButton17 = nullptr, *RzToolButton2 = nullptr, *downb = nullptr,
          *RzToolButton9 = nullptr, *vnoreadb = nullptr, *vlastb = nullptr, *vnextb = nullptr,
          *RzToolButton12 = nullptr, *RzToolButton8 = nullptr, *RzToolButton18 = nullptr,
          *RzToolButton4 = nullptr;
  // Main menu.
  QAction *N31 = nullptr, *N32 = nullptr, *Nviewstackb = nullptr, *N17 = nullptr, *N40 = nullptr,
          *N41 = nullptr, *N30 = nullptr, *N29 = nullptr, *N35 = nullptr, *N36 = nullptr,
          *N42 = nullptr, *N11 = nullptr, *N43 = nullptr, *N45 = nullptr, *N111 = nullptr,
          *N44 = nullptr, *N28 = nullptr;
  // Configuration drop-down.
  QAction *N2 = nullptr, *N3 = nullptr, *N23 = nullptr, *N38 = nullptr;
  // Shelf pop-up menu.
  QAction *N4 = nullptr, *N5 = nullptr, *N6 = nullptr, *N7 = nullptr, *N9 = nullptr, *N10 = nullptr,
          *N12 = nullptr, *N19 = nullptr, *N20 = nullptr, *N21 = nullptr, *N22 = nullptr,
          *N14 = nullptr, *N16 = nullptr, *N15 = nullptr, *N88 = nullptr, *N25 = nullptr,
          *Nwebstackview = nullptr, *N26 = nullptr, *N27 = nullptr;

  // The toolbar buttons in toolbar order with their page tags.
  struct TaggedButton {
    QAction *action;
    int tag;
  };
  const std::vector<TaggedButton> &toolbarButtons() const { return buttons_; }

protected:
  void mousePressEvent(QMouseEvent *e) override;
  void mouseMoveEvent(QMouseEvent *e) override;
  void resizeEvent(QResizeEvent *e) override;
  void paintEvent(QPaintEvent *e) override;
  bool eventFilter(QObject *watched, QEvent *event) override;
  void showEvent(QShowEvent *e) override;

private:
  void buildTitleBand(QWidget *top);
  void buildTabs(QWidget *bar);
  void buildToolbar();
  void buildMenus();
  void buildBody(QWidget *body);
  void buildBottom(QWidget *bottom);
  void choosePage(int page, QToolButton *tab);
  int pageOf(QToolButton *tab) const;
  void showAbout();
  Qt::Edges edgesAt(const QPoint &pos) const;
  void setMaxbPicture();
  QAction *menuAction(QMenu *menu, const QString &text);
  void registerCommands();

  Services &services_;
  std::vector<TaggedButton> buttons_;
  QHash<QString, QAction *> commands_;
  std::vector<std::function<void(int)>> pageListeners_;
  std::function<void(const QString &)> quickSearch_;
  std::function<void()> advertisementClick_;
  bool maximized_ = false;
  bool userResizing_ = false;
  QTimer *resizeSettled_ = nullptr;
  Taboutform *about_ = nullptr;
  SystemFileDialogs systemDialogs_;
  FileDialogs *fileDialogs_ = &systemDialogs_;
};

} // namespace inkwren
