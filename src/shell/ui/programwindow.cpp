#include "shell/ui/programwindow.h"

#include "core/ui/startup.h"
#include "reader/ui/readerwiring.h"
#include "rules/ui/updatecontroller.h"
#include "search/ui/searchwiring.h"
#include "shelf/ui/shelfwiring.h"
#include "shell/appcontext.h"
#include "shell/ui/mainform.h"
#include "speech/ui/speechwiring.h"

namespace inkwren {

ProgramWindow::ProgramWindow(AppContext &app, const HtmlViewFactory &makeHtmlView)
    : main_(std::make_unique<Tmainform>(app.services, makeHtmlView)) {
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
  reader_ = std::make_unique<ReaderWiring>(app.services, *main_, *shelf_, app.marks, makeHtmlView);
  speech_ = std::make_unique<SpeechWiring>(*main_, *shelf_, app.settings, app.services.messages,
                                           app.speech());
  speech_->publishOnSessionBus();

  Startup::Steps steps;
  steps.drawbookpanel = [&app] { app.shelf.drawbookpanel(); };
  steps.libraryFailed = [this](const QString &why) { shelf_->libraryUnavailable(why); };
  steps.loadRules = [&app] { app.rules.loadRules(); };
  steps.updateAll = [this] { updates_->downallbClick(); };
  steps.upset = [&app] {
    app.rules.upset(app.main.fetcher, app.settings, app.services.webroot.toUtf8());
  };
  steps.stopWorkers = [&updates] { updates.stopAll(); };
  startup_ = std::make_unique<Startup>(app.services, *main_, std::move(steps));
}

ProgramWindow::~ProgramWindow() {
  // The start-up's shutdown stops the jobs before the windows they report to go.
  startup_.reset();
  updates_.reset();
  search_.reset();
  speech_.reset();
  reader_.reset();
  shelf_.reset();
  main_.reset();
}

} // namespace inkwren
