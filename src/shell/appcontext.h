#pragma once
// The object graph of one run: the data folder, settings, library, rules, the main thread's
// fetch context, the chapter and shelf stores, the shelf model, the update service and the
// web service's client with the network shelf and the version check. The
// windowed program, the command line, tests and benchmarks all build their services here, so
// there is one place that says what is made from what.
//
// Loading is left to the caller's start-up: the window reads the settings and opens the library
// in its start-up stages, the command line at once (see loadForCommandLine).
//
// Threads: built, used and destroyed on the main thread; the parts say which of their
// operations other threads may call.
#include "core/database.h"
#include "core/datafolder.h"
#include "core/services.h"
#include "core/settings.h"
#include "reader/readmarks.h"
#include "rules/fetchcontext.h"
#include "rules/ruleset.h"
#include "rules/update/updateservice.h"
#include "service/networkshelf.h"
#include "service/serviceclient.h"
#include "service/updatecheck.h"
#include "service/updater.h"
#include "shelf/bookshelf.h"
#include "shelf/chapterfiles.h"
#include "shelf/chapterstore.h"
#include "shelf/conversions.h"
#include "shelf/currentbook.h"
#include "speech/speechcontroller.h"

#include <memory>

namespace inkwren {

class Messages;

class AppContext {
public:
  // root: the data folder (see DataFolder::locate); messages: how the run shows messages and
  // asks questions.
  AppContext(const QString &root, Messages &messages, const QString &webroot = defaultWebroot());
  ~AppContext();
  AppContext(const AppContext &) = delete;
  AppContext &operator=(const AppContext &) = delete;

  // Opens the library "db/book.dat"; false with the reason when it can't be opened.
  bool openLibrary(QString *why = nullptr);
  // What the command line does before any command: the settings file read once, the rules
  // loaded.
  void loadForCommandLine();

  // Entity decoding for the shelf's conversions, by the rules engine.
  static Conversions::EntityDecoder entityDecoder();

  DataFolder folder;
  Settings settings;
  Database db;
  Services services;
  RuleSet rules;
  FetchContext main; // the main thread's fetches ("[webpath]" of the main thread)
  ChapterFiles files;
  ChapterStore chapters;
  CurrentBook current;
  Bookshelf shelf;
  UpdateService updates;
  ReadMarks marks; // read marks of chapters shown or read aloud
  ServiceClient service; // the web service: login, exchanges
  Updater updater;       // the updater program in the data folder
  NetworkShelf netshelf;
  UpdateCheck updatecheck;

  // Reading aloud: the controller on the espeak-ng engine with the default sound device, made
  // on first use (the command line never needs it). useSpeechEngine hands in another engine
  // before that (tests).
  SpeechController &speech();
  void useSpeechEngine(std::unique_ptr<SpeechEngine> engine);

private:
  std::unique_ptr<SpeechEngine> speechEngine_;
  std::unique_ptr<SpeechController> speech_;
};

} // namespace inkwren
