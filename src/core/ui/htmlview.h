#pragma once
// The HTML views of the windows (the main window's right-hand pane, the template editor's
// preview, the web panels) sit behind this small interface so that tests can drive or fake them.
// The views themselves are made by the reader's windows (reader/ui/htmlviews.h), which also say
// how each kind of page is kept safe.
// Main thread only.
#include <QUrl>
#include <QWidget>

#include <functional>

class QKeyEvent;

namespace inkwren {

class HtmlView : public QWidget {
  Q_OBJECT
public:
  using QWidget::QWidget;
  // Navigates to a web address or a local file (which may carry a query part: the address the
  // load ends with keeps it); asynchronous, ends with loadFinished. Relative addresses in a
  // local page resolve against its folder.
  virtual void load(const QUrl &url) = 0;
  // Shows HTML text; relative addresses in it resolve against base.
  virtual void setHtml(const QString &html, const QUrl &base = {}) = 0;
  // The address of the page shown, query part included.
  virtual QUrl url() const = 0;

  // The body of the loaded document: its HTML as loaded (placeholders included) is handed to
  // fill, and what fill gives becomes the body, shown from its top. done (if any) is called
  // once the new body is in place. May complete after the call returns; a load started
  // meanwhile drops it.
  virtual void fillBody(const std::function<QString(const QString &body)> &fill,
                        const std::function<void()> &done = {}) {
    Q_UNUSED(fill);
    if (done)
      done();
  }
  // Whether right-clicking shows the view's own menu; off unless a window asks for it.
  virtual void setContextMenuShown(bool shown) { Q_UNUSED(shown); }

  // Keys pressed while a local page (the reading page) has the focus are offered here first;
  // true takes the key. Web pages keep their keys (their input boxes need them).
  std::function<bool(const QKeyEvent &)> keyHandler;

Q_SIGNALS:
  void loadFinished(bool ok);
  // A command link: an address beginning with "about:blank" (any case) that a web page asked
  // to open, in place or in a new window. It is never loaded; the address comes unchanged.
  // Local pages (chapter text comes from the web) have none: their command links go nowhere.
  void commandLink(const QString &address);
};

using HtmlViewFactory = std::function<HtmlView *(QWidget *parent)>;

} // namespace inkwren
