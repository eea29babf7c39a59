#include "reader/ui/htmlviews.h"

#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace inkwren {
namespace {

const char *const kUnreachable = R"html(<!doctype html><html><head><meta charset="utf-8">
<style>html,body{height:100%;margin:0}body{display:flex;align-items:center;justify-content:center;
font:14px "Noto Sans CJK SC",sans-serif;color:#8a9099;background:#fbfbfc}
.box{text-align:center}.mark{font:bold 42px "Noto Serif CJK SC",serif;color:#c9ced6}</style></head>
<body><div class="box"><div class="mark">墨鹪</div><p>暂时无法连接服务器</p></div></body></html>)html";

class WebEngineHtmlView : public HtmlView {
public:
  explicit WebEngineHtmlView(QWidget *parent) : HtmlView(parent), view_(new QWebEngineView(this)) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    QWebEngineSettings *s = view_->settings();
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    s->setDefaultTextEncoding(QStringLiteral("GB18030"));
    connect(view_, &QWebEngineView::loadFinished, this, [this](bool ok) {
      if (showingFallback_) {
        // The built-in page is up; the load that was asked for failed.
        showingFallback_ = false;
        Q_EMIT loadFinished(false);
        return;
      }
      if (!ok && view_->url().scheme().startsWith(QLatin1String("http"))) {
        showingFallback_ = true;
        view_->setHtml(QString::fromUtf8(kUnreachable));
        return;
      }
      Q_EMIT loadFinished(ok);
    });
  }
  void load(const QUrl &url) override {
    showingFallback_ = false;
    view_->load(url);
  }
  void setHtml(const QString &html, const QUrl &base) override { view_->setHtml(html, base); }
  QUrl url() const override { return view_->url(); }

private:
  QWebEngineView *view_;
  bool showingFallback_ = false;
};

} // namespace

HtmlView *createWebEngineView(QWidget *parent) {
  return new WebEngineHtmlView(parent);
}

} // namespace inkwren
