#pragma once
// The HTML views of the windows (the main window's right-hand pane, the template editor's
// preview, the web panels) sit behind this small interface so that tests can drive or fake them.
// The views themselves are made by the reader's windows (reader/ui/htmlviews.h).
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

} // namespace inkwren
