#pragma once
// The HTML views the program can make. Main thread only.
#include "core/ui/htmlview.h"

namespace inkwren {

// The real view, on Qt WebEngine. A page that can't be loaded (the service unreachable, say)
// shows a quiet built-in page instead of the engine's error page.
HtmlView *createWebEngineView(QWidget *parent);
// A plain view on Qt's rich-text engine: local pages and HTML text only.
HtmlView *createTextBrowserView(QWidget *parent);
// The view the program uses: WebEngine, or the plain view when WebEngine can't start (run as
// root, where its sandbox refuses to run and the sandbox has not been turned off).
HtmlView *createHtmlView(QWidget *parent);

} // namespace inkwren
