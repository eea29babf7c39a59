#include "reader/ui/htmlviews.h"

#include "core/codec.h"

#include <QFile>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

#include <unistd.h>

namespace inkwren {
namespace {

// A plain HTML view for when Qt WebEngine can't run (as root its sandbox refuses to start):
// local pages and HTML text are shown with Qt's own rich-text engine; web addresses are not
// fetched and show a short notice instead.
class TextBrowserHtmlView : public HtmlView {
public:
  explicit TextBrowserHtmlView(QWidget *parent) : HtmlView(parent), view_(new QTextBrowser(this)) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    view_->setFrameShape(QFrame::NoFrame);
    view_->setOpenLinks(false);
    connect(view_, &QTextBrowser::anchorClicked, this,
            [this](const QUrl &url) { load(view_->source().resolved(url)); });
  }
  void load(const QUrl &url) override {
    url_ = url;
    bool ok = url.isLocalFile() && QFile::exists(url.toLocalFile());
    if (ok) {
      QFile f(url.toLocalFile());
      ok = f.open(QIODevice::ReadOnly);
      view_->document()->setBaseUrl(url);
      view_->setHtml(ok ? codec::decode(f.readAll()) : QString());
    } else {
      view_->setHtml(
          QStringLiteral("<div style=\"color:#8a9099;text-align:center;margin-top:30%\">"
                         "<b style=\"font-size:28px;color:#c9ced6\">墨鹪</b><p>%1</p></div>")
              .arg(QStringLiteral("以 root 身份运行时不显示网页")));
    }
    QTimer::singleShot(0, this, [this, ok] { Q_EMIT loadFinished(ok); });
  }
  void setHtml(const QString &html, const QUrl &base) override {
    url_ = base;
    view_->document()->setBaseUrl(base);
    view_->setHtml(html);
    QTimer::singleShot(0, this, [this] { Q_EMIT loadFinished(true); });
  }
  QUrl url() const override { return url_; }

private:
  QTextBrowser *view_;
  QUrl url_;
};

} // namespace

HtmlView *createTextBrowserView(QWidget *parent) {
  return new TextBrowserHtmlView(parent);
}

HtmlView *createHtmlView(QWidget *parent) {
  const bool sandboxRefused =
      geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX") &&
      !qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS").contains(QLatin1String("--no-sandbox"));
  return sandboxRefused ? createTextBrowserView(parent) : createWebEngineView(parent);
}

} // namespace inkwren
