#include "reader/ui/htmlviews.h"

#include "core/codec.h"

#include <QFile>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

#include <unistd.h>

namespace inkwren {
namespace {

// Qt's rich-text browser, kept to the folder of the page loaded: nothing else is read.
class FolderBrowser : public QTextBrowser {
public:
  using QTextBrowser::QTextBrowser;
  QString folder;

  QVariant loadResource(int type, const QUrl &name) override {
    // Pictures written by the download are referenced with "\" (book\B\Z\0.jpg).
    QString address = name.toString();
    address.replace(u'\\', u'/')
        .replace(QLatin1String("%5C"), QLatin1String("/"), Qt::CaseInsensitive);
    QUrl url(address);
    url = document()->baseUrl().resolved(url);
    if (!insideFolder(folder, url))
      return {};
    QFile f(url.toLocalFile());
    if (!f.open(QIODevice::ReadOnly))
      return {};
    const QByteArray bytes = f.readAll();
    if (type == QTextDocument::StyleSheetResource || type == QTextDocument::HtmlResource)
      return codec::decode(bytes);
    return bytes;
  }
};

// The body's place in a page: [start, end).
std::pair<qsizetype, qsizetype> bodySpan(const QString &page) {
  static const QRegularExpression open(QStringLiteral("<body(\\s[^>]*)?>"),
                                       QRegularExpression::CaseInsensitiveOption);
  qsizetype start = 0;
  if (const auto m = open.match(page); m.hasMatch())
    start = m.capturedEnd();
  qsizetype end = page.lastIndexOf(QLatin1String("</body"), -1, Qt::CaseInsensitive);
  if (end < start)
    end = page.size();
  return {start, end};
}

// A plain HTML view for when Qt WebEngine can't run (as root its sandbox refuses to start):
// local pages and HTML text are shown with Qt's own rich-text engine, which runs no scripts;
// web addresses are not fetched and show a short notice instead.
class TextBrowserHtmlView : public HtmlView {
public:
  explicit TextBrowserHtmlView(QWidget *parent) : HtmlView(parent), view_(new FolderBrowser(this)) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    view_->setFrameShape(QFrame::NoFrame);
    view_->setOpenLinks(false);
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    view_->installEventFilter(this);
    view_->viewport()->installEventFilter(this);
    connect(view_, &QTextBrowser::anchorClicked, this, [this](const QUrl &link) {
      if (link.toString().startsWith(QLatin1String("about:blank"), Qt::CaseInsensitive))
        return; // local pages only: their command links go nowhere
      load(url_.resolved(link));
    });
  }
  void load(const QUrl &url) override {
    url_ = url;
    bool ok = url.isLocalFile() && QFile::exists(url.toLocalFile());
    if (ok) {
      QFile f(url.toLocalFile());
      ok = f.open(QIODevice::ReadOnly);
      view_->folder = pageFolder(url);
      view_->document()->setBaseUrl(url);
      show(ok ? codec::decode(f.readAll()) : QString());
    } else {
      view_->folder.clear();
      show(QStringLiteral("<div style=\"color:#8a9099;text-align:center;margin-top:30%\">"
                          "<b style=\"font-size:28px;color:#c9ced6\">墨鹪</b><p>%1</p></div>")
               .arg(QStringLiteral("以 root 身份运行时不显示网页")));
    }
    QTimer::singleShot(0, this, [this, ok] { Q_EMIT loadFinished(ok); });
  }
  void setHtml(const QString &html, const QUrl &base) override {
    url_ = base;
    view_->folder = pageFolder(base);
    view_->document()->setBaseUrl(base);
    show(html);
    QTimer::singleShot(0, this, [this] { Q_EMIT loadFinished(true); });
  }
  QUrl url() const override { return url_; }

  void fillBody(const std::function<QString(const QString &)> &fill,
                const std::function<void()> &done) override {
    const auto [start, end] = bodySpan(page_);
    QString body;
    try {
      body = fill(page_.mid(start, end - start));
    } catch (...) {
      return;
    }
    show(page_.left(start) + body + page_.mid(end));
    if (done)
      done();
  }
  void setContextMenuShown(bool shown) override {
    view_->setContextMenuPolicy(shown ? Qt::DefaultContextMenu : Qt::NoContextMenu);
  }

protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::KeyPress && keyHandler && url_.isLocalFile() &&
        keyHandler(*static_cast<QKeyEvent *>(event)))
      return true;
    return HtmlView::eventFilter(watched, event);
  }

private:
  void show(const QString &page) {
    page_ = page;
    view_->setHtml(page);
    view_->verticalScrollBar()->setValue(0);
  }

  FolderBrowser *view_;
  QUrl url_;
  QString page_; // the page as given, for its body
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
