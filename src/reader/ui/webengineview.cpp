#include "reader/ui/htmlviews.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QPointer>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <optional>

namespace inkwren {
namespace {

const char *const kUnreachable = R"html(<!doctype html><html><head><meta charset="utf-8">
<style>html,body{height:100%;margin:0}body{display:flex;align-items:center;justify-content:center;
font:14px "Noto Sans CJK SC",sans-serif;color:#8a9099;background:#fbfbfc}
.box{text-align:center}.mark{font:bold 42px "Noto Serif CJK SC",serif;color:#c9ced6}</style></head>
<body><div class="box"><div class="mark">墨鹪</div><p>暂时无法连接服务器</p></div></body></html>)html";

enum class Kind { Local, Web };

// A link to "about:blank…" is taken by the engine at once, without asking the page first; the
// program's own script (in its separate script world, so also where the page's scripts are
// off) stops every click on such a link and hands its address over as a request for this
// address, which the page refuses and reports.
const char *const kCommandHost = "inkwren-command.invalid";
const char *const kCommandLinks = R"js((function () {
  function take(e) {
    var n = e.target;
    while (n && !((n.tagName === 'A' || n.tagName === 'AREA') && n.hasAttribute('href')))
      n = n.parentNode;
    if (!n || !/^about:blank/i.test(n.href)) return;
    e.preventDefault();
    e.stopImmediatePropagation();
    window.location.href = 'https://inkwren-command.invalid/?' + encodeURIComponent(n.href);
  }
  document.addEventListener('click', take, true);
  document.addEventListener('auxclick', take, true);
})();)js";

QWebEngineScript commandLinkScript() {
  QWebEngineScript script;
  script.setName(QStringLiteral("inkwren-command-links"));
  script.setSourceCode(QString::fromLatin1(kCommandLinks));
  script.setWorldId(QWebEngineScript::ApplicationWorld);
  script.setInjectionPoint(QWebEngineScript::DocumentCreation);
  script.setRunsOnSubFrames(true);
  return script;
}

// The command link a request for the marker address stands for, or nothing.
std::optional<QString> commandAddress(const QUrl &url) {
  if (url.host() != QLatin1String(kCommandHost))
    return std::nullopt;
  return QUrl::fromPercentEncoding(url.query(QUrl::FullyEncoded).toUtf8());
}

bool isCommandLink(const QUrl &url) {
  return url.toString().startsWith(QLatin1String("about:blank"), Qt::CaseInsensitive);
}

bool isWebScheme(const QUrl &url) {
  const QString s = url.scheme();
  return s == QLatin1String("http") || s == QLatin1String("https");
}

class WebEngineHtmlView;

// Decides every request a page makes (documents, frames, pictures, style sheets).
class RequestGuard : public QWebEngineUrlRequestInterceptor {
public:
  RequestGuard(Kind kind, const QString &folder, QObject *parent)
      : QWebEngineUrlRequestInterceptor(parent), kind_(kind), folder_(folder) {}
  void interceptRequest(QWebEngineUrlRequestInfo &info) override {
    const QUrl url = info.requestUrl();
    const QString scheme = url.scheme();
    bool allowed;
    if (kind_ == Kind::Web)
      allowed = scheme != QLatin1String("file") && scheme != QLatin1String("qrc");
    else if (scheme == QLatin1String("file"))
      allowed = insideFolder(folder_, url);
    else
      allowed = scheme == QLatin1String("data") || scheme == QLatin1String("blob");
    if (!allowed)
      info.block(true);
  }

private:
  Kind kind_;
  const QString &folder_;
};

class Page : public QWebEnginePage {
public:
  Page(Kind kind, WebEngineHtmlView *owner);
  Kind kind() const { return kind_; }

protected:
  bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
  QWebEnginePage *createWindow(WebWindowType type) override;
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int,
                                const QString &) override {}

private:
  Kind kind_;
  WebEngineHtmlView *owner_;
};

// Stands in for a new window: its first navigation is taken over by the view, then it goes.
class NewWindow : public QWebEnginePage {
public:
  NewWindow(Kind from, WebEngineHtmlView *owner);

protected:
  bool acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame) override;

private:
  Kind from_;
  WebEngineHtmlView *owner_;
};

class WebEngineHtmlView : public HtmlView {
public:
  explicit WebEngineHtmlView(QWidget *parent) : HtmlView(parent), view_(new QWebEngineView(this)) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    view_->installEventFilter(this);

    local_ = new Page(Kind::Local, this);
    QWebEngineSettings *s = local_->settings();
    s->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::LocalStorageEnabled, false);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
    s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    s->setDefaultTextEncoding(QStringLiteral("GB18030"));
    local_->setUrlRequestInterceptor(new RequestGuard(Kind::Local, folder_, local_));

    web_ = new Page(Kind::Web, this);
    s = web_->settings();
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
    s->setDefaultTextEncoding(QStringLiteral("GB18030"));
    web_->setUrlRequestInterceptor(new RequestGuard(Kind::Web, folder_, web_));

    for (Page *page : {local_, web_}) {
      page->scripts().insert(commandLinkScript());
      connect(page, &QWebEnginePage::loadFinished, this,
              [this, page](bool ok) { pageLoaded(page, ok); });
    }
    view_->setPage(web_);
    watchChildren();
    // The new-window shortcut of browsers does nothing here.
    auto *ctrlN = new QShortcut(QKeySequence(QStringLiteral("Ctrl+N")), this);
    ctrlN->setContext(Qt::WidgetWithChildrenShortcut);
  }

  ~WebEngineHtmlView() override {
    // The pages' guards read folder_: the view and the pages go first.
    delete view_;
    delete local_;
    delete web_;
  }

  void load(const QUrl &url) override {
    ++generation_;
    refused_ = 0;
    showingFallback_ = false;
    if (url.isLocalFile()) {
      folder_ = pageFolder(url);
      use(local_);
    } else {
      use(web_);
    }
    view_->load(url);
  }
  void setHtml(const QString &html, const QUrl &base) override {
    ++generation_;
    refused_ = 0;
    if (base.isLocalFile()) {
      folder_ = pageFolder(base);
      use(local_);
    } else {
      use(web_);
    }
    view_->setHtml(html, base);
  }
  QUrl url() const override { return view_->url(); }

  void fillBody(const std::function<QString(const QString &)> &fill,
                const std::function<void()> &done) override {
    const quint64 generation = generation_;
    QPointer<WebEngineHtmlView> self(this);
    // The page's own scripts are off; this runs in the program's separate script world.
    view_->page()->runJavaScript(
        QStringLiteral("document.body ? document.body.innerHTML : ''"),
        QWebEngineScript::ApplicationWorld, [self, generation, fill, done](const QVariant &body) {
          if (!self || generation != self->generation_)
            return;
          QString html;
          try {
            html = fill(body.toString());
          } catch (...) {
            return;
          }
          const QString quoted =
              QString::fromUtf8(QJsonDocument(QJsonArray{html}).toJson(QJsonDocument::Compact));
          self->view_->page()->runJavaScript(
              QStringLiteral("if (document.body) document.body.innerHTML = %1[0]; "
                             "window.scrollTo(0, 0); true")
                  .arg(quoted),
              QWebEngineScript::ApplicationWorld, [self, generation, done](const QVariant &) {
                if (self && generation == self->generation_ && done)
                  done();
              });
        });
  }

  void setContextMenuShown(bool shown) override {
    view_->setContextMenuPolicy(shown ? Qt::DefaultContextMenu : Qt::NoContextMenu);
  }

  // A page's request to go somewhere; false cancels it, and the page stays as it is.
  bool navigation(Kind kind, const QUrl &url, QWebEnginePage::NavigationType type,
                  bool isMainFrame) {
    const bool accepted = decide(kind, url, type, isMainFrame);
    if (!accepted && isMainFrame)
      ++refused_; // the engine still ends that load, as failed
    return accepted;
  }
  bool decide(Kind kind, const QUrl &url, QWebEnginePage::NavigationType type, bool isMainFrame) {
    if (const auto address = commandAddress(url)) {
      if (kind == Kind::Web)
        later([this, a = *address] { Q_EMIT commandLink(a); });
      return false;
    }
    if (isCommandLink(url)) {
      if (kind == Kind::Web)
        later([this, address = url.toString()] { Q_EMIT commandLink(address); });
      return false;
    }
    if (kind == Kind::Web)
      return url.scheme() != QLatin1String("file");
    if (url.isLocalFile())
      return insideFolder(folder_, url);
    const QString scheme = url.scheme();
    if (scheme == QLatin1String("data") || scheme == QLatin1String("about"))
      return !isMainFrame || type != QWebEnginePage::NavigationTypeLinkClicked;
    // A link to the web, followed by the user, opens as a web page.
    if (isMainFrame && isWebScheme(url) && type == QWebEnginePage::NavigationTypeLinkClicked)
      later([this, url] { load(url); });
    return false;
  }
  // The first address of a new window asked for by a page of the given kind.
  void newWindow(Kind from, const QUrl &url) {
    if (const auto address = commandAddress(url)) {
      if (from == Kind::Web)
        later([this, a = *address] { Q_EMIT commandLink(a); });
      return;
    }
    if (isCommandLink(url)) {
      if (from == Kind::Web)
        later([this, address = url.toString()] { Q_EMIT commandLink(address); });
      return;
    }
    if (from == Kind::Local ? (isWebScheme(url) || insideFolder(folder_, url))
                            : url.scheme() != QLatin1String("file"))
      later([this, url] { load(url); });
  }

protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::ChildAdded) {
      if (auto *child = qobject_cast<QWidget *>(static_cast<QChildEvent *>(event)->child()))
        child->installEventFilter(this);
    } else if (event->type() == QEvent::KeyPress && keyHandler && view_->page() == local_) {
      if (keyHandler(*static_cast<QKeyEvent *>(event)))
        return true;
    }
    return HtmlView::eventFilter(watched, event);
  }

private:
  void use(Page *page) {
    if (view_->page() != page) {
      view_->setPage(page);
      watchChildren();
    }
  }
  void watchChildren() {
    for (QWidget *w : view_->findChildren<QWidget *>())
      w->installEventFilter(this);
  }
  void later(std::function<void()> f) { QTimer::singleShot(0, this, std::move(f)); }
  void pageLoaded(Page *page, bool ok) {
    if (page != view_->page())
      return;
    if (refused_ > 0) {
      --refused_;
      if (!ok)
        return; // a refused navigation: nothing was loaded
    }
    if (showingFallback_) {
      // The built-in page is up; the load that was asked for failed.
      showingFallback_ = false;
      Q_EMIT loadFinished(false);
      return;
    }
    if (!ok && isWebScheme(view_->url())) {
      showingFallback_ = true;
      view_->setHtml(QString::fromUtf8(kUnreachable));
      return;
    }
    Q_EMIT loadFinished(ok);
  }

  QWebEngineView *view_;
  Page *local_ = nullptr;
  Page *web_ = nullptr;
  QString folder_; // what the local page may reach
  quint64 generation_ = 0;
  int refused_ = 0; // refused navigations whose failed end is still to come
  bool showingFallback_ = false;
};

Page::Page(Kind kind, WebEngineHtmlView *owner)
    : QWebEnginePage(owner), kind_(kind), owner_(owner) {}

bool Page::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) {
  return owner_->navigation(kind_, url, type, isMainFrame);
}

QWebEnginePage *Page::createWindow(WebWindowType) {
  return new NewWindow(kind_, owner_);
}

NewWindow::NewWindow(Kind from, WebEngineHtmlView *owner)
    : QWebEnginePage(owner), from_(from), owner_(owner) {}

bool NewWindow::acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame) {
  if (isMainFrame) {
    owner_->newWindow(from_, url);
    deleteLater();
  }
  return false;
}

} // namespace

HtmlView *createWebEngineView(QWidget *parent) {
  return new WebEngineHtmlView(parent);
}

QString pageFolder(const QUrl &url) {
  if (!url.isLocalFile())
    return {};
  const QString path = url.toLocalFile();
  const QString folder = path.endsWith(u'/') ? path : QFileInfo(path).absolutePath();
  const QString canonical = QFileInfo(folder).canonicalFilePath();
  return canonical.isEmpty() ? QDir::cleanPath(folder) : canonical;
}

bool insideFolder(const QString &folder, const QUrl &url) {
  if (folder.isEmpty() || !url.isLocalFile())
    return false;
  QString path = QDir::cleanPath(url.toLocalFile().replace(u'\\', u'/'));
  const QFileInfo info(path);
  if (info.exists())
    path = info.canonicalFilePath();
  else if (const QString dir = QFileInfo(info.absolutePath()).canonicalFilePath(); !dir.isEmpty())
    path = dir + u'/' + info.fileName();
  return path == folder || path.startsWith(folder + u'/');
}

} // namespace inkwren
