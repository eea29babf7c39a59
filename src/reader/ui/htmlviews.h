#pragma once
// The HTML views the program can make. Main thread only.
//
// Two kinds of page are shown, and each is kept to what it needs:
//  - Local pages (the reading page "book/bank.html" with a chapter in it, the template
//    editor's preview): chapter text comes from web pages and goes in as HTML, so no script
//    runs there (JavaScript off, plugins off, no windows opened), the page reaches no file
//    outside the folder of the page the program loaded (the data folder's "book": pictures
//    of the chapters and the template's own links) and nothing on the network; its command
//    links ("about:blank…") go nowhere, and a link to a web address opens it as a web page.
//  - Web pages (the service's pages in the same pane): scripts run, but no local file can be
//    loaded, framed or navigated to; their command links are handed to the window.
// Every address starting with "about:blank" is a command link and never loads. A new window
// asked for by a page opens in the same view under the same rules. Ctrl+N does nothing.
#include "core/ui/htmlview.h"

namespace inkwren {

// The real view, on Qt WebEngine. A page that can't be loaded (the service unreachable, say)
// shows a quiet built-in page instead of the engine's error page.
HtmlView *createWebEngineView(QWidget *parent);
// A plain view on Qt's rich-text engine: local pages and HTML text only (no scripts at all;
// pictures only from the folder of the page loaded).
HtmlView *createTextBrowserView(QWidget *parent);
// The view the program uses: WebEngine, or the plain view when WebEngine can't start (run as
// root, where its sandbox refuses to run and the sandbox has not been turned off).
HtmlView *createHtmlView(QWidget *parent);

// Whether a local address lies in folder (a canonical path) or below it, links resolved.
bool insideFolder(const QString &folder, const QUrl &url);
// The canonical folder a local page loaded from url may reach: the file's folder (or url
// itself when it names a folder, ending with "/"). Empty for an address that is not local.
QString pageFolder(const QUrl &url);

} // namespace inkwren
