#pragma once
// The service's content in the main window: the rankings page in the right-hand pane on the
// tabs "我的书架" and "小说榜单", the rankings tree `toptree` whose entries open further service
// pages there, the command links of those pages that add a novel (`urlactdo`), the rotating
// advertisement line of the bottom bar, and the help menu's pages opened in the web browser.
//
// Threads: main thread only.
#include "service/serviceclient.h"
#include "service/textadverts.h"

#include <QObject>

#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

namespace inkwren {

class ShellHost;
class UrlOpener;

class WebPanels : public QObject {
  Q_OBJECT
public:
  // Opens the add-book dialog pre-filled (`newbook`): name, author, category, address, exact.
  using NewBook = std::function<void(const QString &name, const QString &author,
                                     const QString &category, const QString &address,
                                     const QString &exact)>;

  WebPanels(ServiceClient &client, ShellHost &shell, UrlOpener &urls, NewBook newbook,
            QObject *parent = nullptr);
  ~WebPanels() override;

  // Rebuilds the rankings tree from the service: the root "小说榜单", one node per list, one per
  // entry, the root expanded once a list is there.
  void drawtoptree();
  // Shows the selected node's page: an entry's own page, else the rankings page.
  void toptreeview();
  // Carries out a command link of the right-hand pane ("about:blank…[act/addbook]…").
  void urlactdo(const QString &address);
  // Shows the next advertisement; returns the time until the next one.
  int txtadv();
  void txtadvlabClick();

  QTreeWidget *toptree() const { return toptree_; }
  // An entry node's link path (empty for the root and the list nodes).
  static QString linkPath(const QTreeWidgetItem *item);

private:
  void pageChanged(int page);
  void openWebPage(ServiceClient::WebPage page);

  ServiceClient &client_;
  ShellHost &shell_;
  UrlOpener &urls_;
  NewBook newbook_;
  TextAdverts adverts_;
  QTreeWidget *toptree_;
};

} // namespace inkwren
