#pragma once
// Stand-ins for the platform pieces in window tests.
#include "core/messages.h"
#include "core/ui/filedialogs.h"
#include "core/ui/htmlview.h"
#include "shelf/ui/platform.h"

#include <QStringList>

namespace inkwren::test {

// Addresses that would have been opened in the web browser.
class RecordedUrls : public UrlOpener {
public:
  void open(const QString &address) override { opened << address; }
  QStringList opened;
};

class FakeHtmlView : public HtmlView {
public:
  using HtmlView::HtmlView;
  void load(const QUrl &url) override {
    url_ = url;
    loads.append(url.toString());
  }
  void setHtml(const QString &html, const QUrl &base) override {
    this->html = html;
    url_ = base;
  }
  QUrl url() const override { return url_; }
  // The body as a page would have it: fillBody reads and replaces it at once.
  void fillBody(const std::function<QString(const QString &)> &fill,
                const std::function<void()> &done) override {
    body = fill(body);
    if (done)
      done();
  }
  // A load that ends: the address shown becomes url, the body the given one.
  void finishLoad(const QUrl &url, const QString &loadedBody) {
    url_ = url;
    body = loadedBody;
    Q_EMIT loadFinished(true);
  }
  QStringList loads;
  QString html;
  QString body;

private:
  QUrl url_;
};

inline HtmlView *makeFakeHtmlView(QWidget *parent) {
  return new FakeHtmlView(parent);
}

// Records what would be shown and answers questions from a script.
class FakeMessages : public Messages {
public:
  void tsxx(const QString &text) override { shown.append(text); }
  bool qrxx(const QString &question) override {
    asked.append(question);
    return answers.isEmpty() ? false : answers.takeFirst();
  }
  QStringList shown;
  QStringList asked;
  QList<bool> answers;
};

// Answers open and save dialogs from fixed paths and records what was asked.
class FakeFileDialogs : public FileDialogs {
public:
  QString openFile(QWidget *, const QString &caption, const QString &filter) override {
    captions << caption;
    filters << filter;
    return openPath;
  }
  QString saveFile(QWidget *, const QString &caption, const QString &suggested,
                   const QString &filter) override {
    captions << caption;
    filters << filter;
    suggestions << suggested;
    return savePath;
  }
  QString openPath, savePath;
  QStringList captions, filters, suggestions;
};

} // namespace inkwren::test
