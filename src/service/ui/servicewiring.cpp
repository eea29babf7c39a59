#include "service/ui/servicewiring.h"

#include "core/ui/shellhost.h"
#include "service/networkshelf.h"
#include "service/serviceclient.h"
#include "service/ui/tloginform.h"
#include "service/ui/twebstack.h"
#include "shelf/currentbook.h"
#include "shelf/ui/booktree.h"
#include "shelf/ui/shelfwiring.h"

#include <QAction>

namespace inkwren {

ServiceWiring::ServiceWiring(ShellHost &shell, ShelfWiring &shelf, ServiceModel model,
                             std::function<void(const QString &)> setTitle, UrlOpener *urls)
    : showModal([](QDialog &d) { d.exec(); }), shell_(shell), model_(model),
      setTitle_(std::move(setTitle)) {
  if (!urls) {
    ownUrls_ = std::make_unique<DesktopUrlOpener>();
    urls = ownUrls_.get();
  }
  loginform_ = std::make_unique<Tloginform>(model_.service, model_.settings, model_.messages, *urls,
                                            shell.window());
  webstack_ =
      std::make_unique<Twebstack>(model_.service, model_.netshelf, model_.messages, shell.window());
  loginform_->loggedIn = [this](const QString &user, const QString &password) {
    login(user, password);
  };
  // A login made while the network bookshelf is showing shows the new user's shelf.
  loginform_->afterLogin = [this] {
    if (webstack_->isVisible())
      webstack_->RzButton6Click();
  };
  model_.service.setLoginDialog([this] { showLogin(); });
  model_.netshelf.setStackWindow([this] { webstackview(); });

  shell.wire(QStringLiteral("N31"), [this] { showLogin(); });
  shell.wire(QStringLiteral("RzToolButton1"), [this] {
    if (QAction *n31 = shell_.command(QStringLiteral("N31")))
      n31->trigger();
  });
  shell.wire(QStringLiteral("N32"), [this] { logout(); });
  if (QAction *n32 = shell.command(QStringLiteral("N32")))
    n32->setEnabled(model_.service.loggedIn());

  for (const char *name : {"viewstackb", "Nviewstackb", "Nwebstackview"})
    shell.wire(QLatin1String(name), [this] { webstackview(); });
  NetworkShelf &net = model_.netshelf;
  for (const char *name : {"ToolButton20", "N17", "N26"})
    shell.wire(QLatin1String(name), [&net] { net.upbookall(); });
  BookTree &tree = shelf.tree();
  shell.wire(QStringLiteral("N25"), [&net, &tree] {
    const ShelfNode node = tree.selectedNode();
    net.upbook(node.kind == ShelfNode::Book ? node.id : QString());
  });
  CurrentBook &current = shelf.currentBook();
  shell.wire(QStringLiteral("RzToolButton2"), [&net, &current] { net.upbook(current.id()); });
  for (const char *name : {"RzToolButton3", "N40", "N27"})
    shell.wire(QLatin1String(name), [&net] { net.downstack(); });
  shell.wire(QStringLiteral("N41"), [&net] { net.clearstack(); });
}

ServiceWiring::~ServiceWiring() {
  model_.service.setLoginDialog({});
  model_.netshelf.setStackWindow({});
}

void ServiceWiring::login(const QString &user, const QString &password) {
  model_.service.login(user, password);
  if (setTitle_)
    setTitle_(QStringLiteral("墨鹪 ") + user);
  if (QAction *n32 = shell_.command(QStringLiteral("N32")))
    n32->setEnabled(true);
}

void ServiceWiring::logout() {
  model_.service.logout();
  if (setTitle_)
    setTitle_(QStringLiteral("墨鹪"));
  if (QAction *n32 = shell_.command(QStringLiteral("N32")))
    n32->setEnabled(false);
}

void ServiceWiring::showLogin() {
  showModal(*loginform_);
}

void ServiceWiring::webstackview() {
  if (!model_.service.checklogin())
    return;
  showModal(*webstack_);
}

} // namespace inkwren
