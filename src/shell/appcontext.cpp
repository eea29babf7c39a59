#include "shell/appcontext.h"

#include "rules/ruleinterpreter.h"
#include "speech/espeakengine.h"
#include "speech/qtaudiooutput.h"

namespace inkwren {

AppContext::AppContext(const QString &root, Messages &messages, const QString &webroot)
    : folder(root),
      settings(folder.path(QStringLiteral("config/set.ini"))), services{folder, settings, db,
                                                                        messages, webroot},
      rules(folder.path(QStringLiteral("db/bookset.dat"))), main(settings), files(folder),
      chapters(db), shelf(services, current), updates(chapters, files, shelf, rules, settings),
      marks(chapters, shelf),
      service(main.fetcher, settings, messages, services.webroot.toUtf8()),
      updater(folder.path(QStringLiteral("update.exe"))), netshelf(service, shelf, messages),
      updatecheck(service, updater, messages) {}

AppContext::~AppContext() {
  // No job may outlive the library and the stores it writes to.
  updates.stopAll();
}

bool AppContext::openLibrary(QString *why) {
  return db.connectioncreat(folder.path(QStringLiteral("db/book.dat")), why);
}

void AppContext::loadForCommandLine() {
  settings.getset(1);
  rules.loadRules();
}

SpeechController &AppContext::speech() {
  if (!speech_) {
    if (!speechEngine_)
      speechEngine_ = std::make_unique<EspeakEngine>(std::make_unique<QtAudioOutput>());
    speech_ = std::make_unique<SpeechController>(SpeechController::Parts{
        *speechEngine_, settings, chapters, files, marks, services.messages});
  }
  return *speech_;
}

void AppContext::useSpeechEngine(std::unique_ptr<SpeechEngine> engine) {
  if (!speech_)
    speechEngine_ = std::move(engine);
}

Conversions::EntityDecoder AppContext::entityDecoder() {
  return [](const QByteArray &text) { return RuleInterpreter::sun(text); };
}

} // namespace inkwren
