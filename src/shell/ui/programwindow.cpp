#include "shell/ui/programwindow.h"

#include "core/ui/startup.h"
#include "reader/ui/readerwiring.h"
#include "rules/ui/updatecontroller.h"
#include "search/ui/searchwiring.h"
#include "search/ui/tbssform.h"
#include "service/ui/servicewiring.h"
#include "service/ui/webpanels.h"
#include "shelf/ui/platform.h"
#include "shelf/ui/shelfwiring.h"
#include "shell/appcontext.h"
#include "shell/ui/mainform.h"
#include "speech/ui/speechwiring.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTimer>

namespace inkwren {

ProgramWindow::ProgramWindow(AppContext &app, const HtmlViewFactory &makeHtmlView, UrlOpener *urls)
    : ownUrls_(urls ? nullptr : std::make_unique<DesktopUrlOpener>()),
      main_(std::make_unique<Tmainform>(app.services, makeHtmlView)) {
  if (!urls)
    urls = ownUrls_.get();
  UpdateService &updates = app.updates;
  shelf_ = std::make_unique<ShelfWiring>(
      app.services, *main_,
      ShelfModel{app.current, app.shelf, app.chapters, app.files, AppContext::entityDecoder()},
      [&updates] { return updates.running(); });
  search_ = std::make_unique<SearchWiring>(
      *main_, *shelf_,
      SearchModel{app.shelf, app.rules, app.settings, app.services.messages,
                  app.folder.path(QStringLiteral("db/searchset.dat"))});
  updates_ = std::make_unique<UpdateController>(*main_, updates, *shelf_, app.rules, app.main,
                                                app.services.messages);
  reader_ =
      std::make_unique<ReaderWiring>(app.services, *main_, *shelf_, app.marks, makeHtmlView, urls);
  panels_ = std::make_unique<WebPanels>(
      app.service, *main_, *urls,
      [this](const QString &name, const QString &author, const QString &category,
             const QString &address,
             const QString &exact) { search_->newbook(name, author, category, address, exact); });
  reader_->urlactdo = [this](const QString &address) { panels_->urlactdo(address); };
  main_->wire(QStringLiteral("N111"), [&app] { app.updatecheck.checkup(true); });
  // A verified updater has been started: the program ends, its shutdown runs.
  app.updatecheck.setUpdater([&app] {
    if (app.updatecheck.handover())
      QApplication::exit(0);
  });
  service_ = std::make_unique<ServiceWiring>(
      *main_, *shelf_, ServiceModel{app.service, app.netshelf, app.settings, app.services.messages},
      [this](const QString &title) { main_->titlel->setText(title); }, urls);
  search_->bssform().setService(&app.service);
  speech_ = std::make_unique<SpeechWiring>(*main_, *shelf_, app.settings, app.services.messages,
                                           app.speech());
  speech_->publishOnSessionBus();

  Startup::Steps steps;
  steps.drawbookpanel = [&app] { app.shelf.drawbookpanel(); };
  steps.libraryFailed = [this](const QString &why) { shelf_->libraryUnavailable(why); };
  steps.loadRules = [&app] { app.rules.loadRules(); };
  steps.updateAll = [this] { updates_->downallbClick(); };
  steps.upset = [&app] { app.service.upset(app.rules); };
  steps.upup = [&app] { app.service.upup(app.updater); };
  steps.checkup = [&app] { app.updatecheck.checkup(false); };
  steps.txtadv = [this] { startup_->txtadvtime->setInterval(panels_->txtadv()); };
  steps.stopWorkers = [&updates] { updates.stopAll(); };
  startup_ = std::make_unique<Startup>(app.services, *main_, std::move(steps));
}

ProgramWindow::~ProgramWindow() {
  // The start-up's shutdown stops the jobs before the windows they report to go.
  startup_.reset();
  panels_.reset();
  service_.reset();
  updates_.reset();
  search_.reset();
  speech_.reset();
  reader_.reset();
  shelf_.reset();
  main_.reset();
}

} // namespace inkwren
