#pragma once
// The HTML views of the windows (the main window's right-hand pane, the template editor's
// preview, the web panels) sit behind this small interface so that tests can drive or fake them.
// Main thread only.
#include <QUrl>
#include <QWidget>

#include <functional>

namespace inkwren {

class HtmlView : public QWidget {
  Q_OBJECT
public:
  using QWidget::QWidget;
  // Navigates to a web address or a local file; asynchronous, ends with loadFinished.
  virtual void load(const QUrl &url) = 0;
  // Shows HTML text; relative addresses in it resolve against base.
  virtual void setHtml(const QString &html, const QUrl &base = {}) = 0;
  virtual QUrl url() const = 0;

Q_SIGNALS:
  void loadFinished(bool ok);
};

using HtmlViewFactory = std::function<HtmlView *(QWidget *parent)>;

// The real view, on Qt WebEngine. A page that can't be loaded (the service unreachable, say)
// shows a quiet built-in page instead of the engine's error page.
HtmlView *createWebEngineView(QWidget *parent);
// A plain view on Qt's rich-text engine: local pages and HTML text only.
HtmlView *createTextBrowserView(QWidget *parent);
// The view the program uses: WebEngine, or the plain view when WebEngine can't start (run as
// root, where its sandbox refuses to run and the sandbox has not been turned off).
HtmlView *createHtmlView(QWidget *parent);

} // namespace inkwren
