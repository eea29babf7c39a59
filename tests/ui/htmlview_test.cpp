// The HTML views: on Qt WebEngine the reading template of the data folder loads, and a page
// that can't be reached shows the built-in page instead of the engine's error page; the plain
// view shows local pages and never fetches web addresses.
#include "reader/ui/htmlviews.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>

using namespace inkwren;

namespace {

bool waitFor(const bool &flag, int ms = 30000) {
  QElapsedTimer t;
  t.start();
  while (!flag && t.elapsed() < ms)
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  return flag;
}

} // namespace

TEST(WebEngineView, LoadsTheReadingTemplate) {
  std::unique_ptr<HtmlView> view(createWebEngineView(nullptr));
  view->resize(640, 480);
  view->show();
  bool done = false, ok = false;
  QObject::connect(view.get(), &HtmlView::loadFinished, [&](bool result) {
    done = true;
    ok = result;
  });
  view->load(QUrl::fromLocalFile(QStringLiteral(INKWREN_SOURCE_DATA_DIR "/book/bank.html")));
  ASSERT_TRUE(waitFor(done));
  EXPECT_TRUE(ok);
  EXPECT_TRUE(view->url().toString().endsWith(QLatin1String("book/bank.html")));
}

TEST(WebEngineView, UnreachablePageShowsTheQuietPage) {
  std::unique_ptr<HtmlView> view(createWebEngineView(nullptr));
  view->show();
  bool done = false, ok = true;
  QObject::connect(view.get(), &HtmlView::loadFinished, [&](bool result) {
    done = true;
    ok = result;
  });
  view->load(QUrl(QStringLiteral("http://127.0.0.1:9/inkwren/iw_bookweb.php")));
  ASSERT_TRUE(waitFor(done));
  EXPECT_FALSE(ok);
  EXPECT_FALSE(view->url().toString().contains(QLatin1String("127.0.0.1:9")));
}

TEST(TextBrowserView, ShowsLocalPagesOnly) {
  std::unique_ptr<HtmlView> view(createTextBrowserView(nullptr));
  QList<bool> results;
  QObject::connect(view.get(), &HtmlView::loadFinished, [&](bool ok) { results << ok; });
  view->load(QUrl::fromLocalFile(QStringLiteral(INKWREN_SOURCE_DATA_DIR "/book/bank.html")));
  view->load(QUrl(QStringLiteral("http://127.0.0.1:9/")));
  QElapsedTimer t;
  t.start();
  while (results.size() < 2 && t.elapsed() < 5000)
    QApplication::processEvents();
  EXPECT_EQ(results, (QList<bool>{true, false}));
}
