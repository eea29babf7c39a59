#pragma once
// The windows of the program on its object graph: the main window, the bookshelf's views and
// commands, the update commands and the start-up sequence, wired together. The program's entry
// makes one; window tests make one on a throw-away data folder.
//
// A subsystem's windows plug in here: they are built with the main window as a ShellHost (its
// commands found by name, its page changes, status bar, reading tab and HTML view) and the
// parts of the graph they use. Main thread only.
#include "core/ui/htmlview.h"

#include <memory>

namespace inkwren {

class AppContext;
class ReaderWiring;
class SearchWiring;
class ServiceWiring;
class ShelfWiring;
class SpeechWiring;
class Startup;
class Tmainform;
class UpdateController;
class UrlOpener;
class WebPanels;

class ProgramWindow {
public:
  // urls: where addresses are opened in the web browser (the desktop's handler when null).
  ProgramWindow(AppContext &app, const HtmlViewFactory &makeHtmlView, UrlOpener *urls = nullptr);
  ~ProgramWindow();

  Tmainform &main() { return *main_; }
  ShelfWiring &shelf() { return *shelf_; }
  SearchWiring &search() { return *search_; }
  UpdateController &updates() { return *updates_; }
  ReaderWiring &reader() { return *reader_; }
  SpeechWiring &speech() { return *speech_; }
  Startup &startup() { return *startup_; }
  WebPanels &panels() { return *panels_; }
  ServiceWiring &service() { return *service_; }

private:
  std::unique_ptr<UrlOpener> ownUrls_;
  std::unique_ptr<Tmainform> main_;
  std::unique_ptr<ShelfWiring> shelf_;
  std::unique_ptr<SearchWiring> search_;
  std::unique_ptr<UpdateController> updates_;
  std::unique_ptr<ReaderWiring> reader_;
  std::unique_ptr<WebPanels> panels_;
  std::unique_ptr<SpeechWiring> speech_;
  std::unique_ptr<Startup> startup_;
  std::unique_ptr<ServiceWiring> service_;
};

} // namespace inkwren
