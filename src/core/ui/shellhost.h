#pragma once
// What the main window offers the windows of the subsystems, so that none of them needs the
// main window itself: its commands looked up by name ("N14", "downb", "refreb"), the page
// changes, the download status bar, the reading tab, the left-hand views and the right-hand
// HTML view. The program's entry hands it to each subsystem's window code.
//
// A subsystem plugs in by wiring the commands it serves (wire("N14", ...)), registering the
// commands of its own menus (addCommand) so others find them too, and listening to page
// changes. Main thread only.
#include "core/ui/pagemask.h"

#include <QString>

#include <functional>

class QAction;
class QLabel;
class QMenu;
class QTreeWidget;
class QWidget;

namespace inkwren {

class FileDialogs;
class HtmlView;

class ShellHost {
public:
  virtual ~ShellHost() = default;

  // The command of this name, or nullptr when there is none.
  virtual QAction *command(const QString &name) const = 0;
  // Makes a subsystem's own command (an entry of its pop-up menu) known by its name.
  virtual void addCommand(const QString &name, QAction *action) = 0;
  // Connects a command by name and enables it; false when there is no such command. A handler
  // that throws never takes the window down.
  bool wire(const QString &name, const std::function<void()> &handler);
  static void wire(QAction *action, const std::function<void()> &handler);

  // The current page (pagestate) and a page change; a listener hears every later change.
  virtual int page() const = 0;
  virtual void showPage(int page) = 0;
  virtual void onPageChanged(std::function<void(int page)> listener) = 0;

  // The download status bar: its two panels, and whether it is shown.
  virtual void setUpdateStatus(const QString &panel0, const QString &panel1, bool shown) = 0;
  virtual bool updateStatusShown() const = 0;

  // The "当前阅读" tab: shown with a caption and width, or hidden.
  virtual void showReadingTab(const QString &caption, int width) = 0;
  virtual void hideReadingTab() = 0;

  // Puts a subsystem's view in place of the main window's placeholder for a page's left pane
  // (shelf tree, latest updates, chapter list).
  virtual void installLeftView(int page, QTreeWidget *view) = 0;
  // The shelf tree's pop-up menu.
  virtual QMenu *shelfMenu() const = 0;
  // The right-hand HTML view.
  virtual HtmlView &htmlView() = 0;
  // The quick search box: the listener hears the box's text each time its button is pressed
  // (or Enter in the box) while the box is not empty. Setting a listener enables the button.
  virtual void onQuickSearch(std::function<void(const QString &text)> listener) = 0;
  // The advertisement line at the right end of the bottom bar (`txtadvlab`) and a click on it.
  virtual void setAdvertisement(const QString &text) = 0;
  virtual void onAdvertisementClick(std::function<void()> listener) = 0;
  // Puts the read-aloud controls at the left of the bottom bar; gives the bar's label that
  // names what is being read aloud (nowreadxx).
  virtual QLabel *installReadAloudControls(QWidget *controls) = 0;
  // The window dialogs and messages belong to.
  virtual QWidget *window() = 0;
  // The open and save dialogs every window uses.
  virtual FileDialogs &fileDialogs() = 0;
  // Applies the window's settings at start-up (size, full screen).
  virtual void applySettings() = 0;
};

} // namespace inkwren
