#include "site_fixture.h"

using namespace inkwren;
using namespace inkwren::test;

namespace {

// s0..s6 of a table-of-contents rule: links "<a href=U>N</a>", headings "<h3>V</h3>".
QByteArrayList tocRule(const QString &s5 = QStringLiteral("<h3>(.*?)</h3>"),
                       const QString &s6 = QStringLiteral("$1"),
                       const QString &s3 = QStringLiteral("$2")) {
  QByteArrayList r;
  for (const QString &f : {QString(), QString(), QStringLiteral("<a href=\"(.*?)\">(.*?)</a>"), s3,
                           QStringLiteral("http://s.example/$1"), s5, s6})
    r << gbk(f);
  while (r.size() < 11)
    r << QByteArray();
  return r;
}

QByteArray page(const QString &html) {
  return gbk(html);
}

struct Extraction : SiteFixture {
  ChapterListExtractor extractor{chapterStore, interpreter};
};

} // namespace

TEST_F(Extraction, NewBookGetsPageOrderAndDefaultVolume) {
  QString book = addBook(QStringLiteral("书"), "http://s.example/");
  auto toc = page(QStringLiteral("<a href=\"1\">一</a><a href=\"2\">二</a><a href=\"3\">三</a>"));
  EXPECT_EQ(extractor.stozj(toc, book, tocRule(QString(), QString())), 3);
  auto cs = chapters(book);
  ASSERT_EQ(cs.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(cs[i].paix, i + 1);
    EXPECT_EQ(cs[i].volume, QStringLiteral("正文"));
  }
  EXPECT_EQ(cs[0].url, QStringLiteral("http://s.example/1"));
  EXPECT_EQ(cs[2].name, QStringLiteral("三"));
  // The same page again adds nothing; a link listed twice was added once.
  EXPECT_EQ(extractor.stozj(toc + toc, book, tocRule()), 0);
  EXPECT_EQ(chapters(book).size(), 3u);
}

TEST_F(Extraction, VolumesFollowTheNearestHeadingAbove) {
  QString book = addBook(QStringLiteral("书"), "http://s.example/");
  auto toc = page(
      QStringLiteral("<a href=\"0\">序</a><h3> 卷一 </h3><a href=\"1\">一</a><a href=\"2\">二</a>"
                     "<h3>卷二</h3><a href=\"3\">三</a>"));
  extractor.stozj(toc, book, tocRule());
  auto cs = chapters(book);
  ASSERT_EQ(cs.size(), 4u);
  QStringList volumes;
  for (const auto &c : cs)
    volumes << c.volume;
  EXPECT_EQ(volumes, (QStringList{QStringLiteral("正文"), QStringLiteral("卷一"),
                                  QStringLiteral("卷一"), QStringLiteral("卷二")}));
  // A fixed volume name when there is no heading pattern.
  EXPECT_EQ(extractor.getfjn(codec::decode(toc), QStringLiteral("<a href=\"3\">三</a>"), QString(),
                             QStringLiteral("正文卷")),
            QStringLiteral("正文卷"));
}

TEST_F(Extraction, VolumeOfALinkThatAlsoStandsEarlierIsTakenFromItsFirstPlace) {
  // The chapter "<a href="1">一</a>" appears first in a "latest chapters" block above all
  // headings, so its volume is what stands above that first place.
  auto toc =
      codec::decode(page(QStringLiteral("<a href=\"1\">一</a><h3>卷一</h3><a href=\"1\">一</a>")));
  EXPECT_EQ(extractor.getfjn(toc, QStringLiteral("<a href=\"1\">一</a>"),
                             QStringLiteral("<h3>(.*?)</h3>"), QStringLiteral("$1")),
            QStringLiteral("正文"));
  // A heading pattern that looks at the end of the text is run over the text above the chapter.
  auto toc2 = codec::decode(page(QStringLiteral("<h3>甲</h3>x<a href=\"1\">一</a>")));
  EXPECT_EQ(extractor.getfjn(toc2, QStringLiteral("<a href=\"1\">一</a>"),
                             QStringLiteral("<h3>(.*?)</h3>x$"), QStringLiteral("$1")),
            QStringLiteral("甲"));
}

TEST_F(Extraction, NamesAreTrimmedAndKeepQuotes) {
  QString book = addBook(QStringLiteral("书"), "http://s.example/");
  auto toc = page(QStringLiteral("<a href=\"1\">It's \"一\"</a>"));
  extractor.stozj(toc, book, tocRule(QString(), QString(), QStringLiteral("  $2 \t")));
  auto cs = chapters(book);
  ASSERT_EQ(cs.size(), 1u);
  EXPECT_EQ(cs[0].name, QStringLiteral("It's \"一\""));
}

TEST_F(Extraction, InsertedChapterComesLastUntilTheOrderIsSynchronised) {
  QString book = addBook(QStringLiteral("书"), "http://s.example/");
  extractor.stozj(page(QStringLiteral("<a href=\"1\">一</a><a href=\"3\">三</a>")), book,
                  tocRule());
  auto toc = page(QStringLiteral("<a href=\"1\">一</a><a href=\"2\">二</a><a href=\"3\">三</a>"));
  EXPECT_EQ(extractor.stozj(toc, book, tocRule()), 1);
  auto cs = chapters(book);
  ASSERT_EQ(cs.size(), 3u);
  EXPECT_EQ(cs[2].name, QStringLiteral("二"));
  EXPECT_EQ(cs[2].paix, 3);
  extractor.stozjpx(toc, book, tocRule());
  cs = chapters(book);
  EXPECT_EQ(cs[1].name, QStringLiteral("二"));
  EXPECT_EQ(cs[1].paix, 2);
  EXPECT_EQ(cs[2].paix, 3);
}

TEST_F(Extraction, RefreshingOneChapterTakesItsLastListing) {
  QString book = addBook(QStringLiteral("书"), "http://s.example/");
  extractor.stozj(page(QStringLiteral("<a href=\"1\">旧名</a>")), book, tocRule());
  QString id = chapters(book)[0].id;
  auto toc = page(
      QStringLiteral("<h3>卷一</h3><a href=\"1\">新名</a><h3>卷二</h3><a href=\"1\">更新名</a>"));
  auto r = extractor.regetzjfjnm(toc, book, id, QStringLiteral("http://s.example/1"), tocRule());
  ASSERT_TRUE(r);
  EXPECT_EQ(r->name, QStringLiteral("更新名"));
  EXPECT_EQ(r->volume, QStringLiteral("卷二"));
  EXPECT_EQ(chapters(book)[0].name, QStringLiteral("更新名"));
  // The address must match exactly, case included.
  EXPECT_FALSE(
      extractor.regetzjfjnm(toc, book, id, QStringLiteral("http://S.example/1"), tocRule()));
}

TEST_F(Extraction, NothingFromAnEmptyPageOrABadPattern) {
  QString book = addBook(QStringLiteral("书"), "http://s.example/");
  EXPECT_EQ(extractor.stozj(QByteArray(), book, tocRule()), 0);
  QByteArrayList bad = tocRule();
  bad[2] = "<a href=\"(.*?\">";
  EXPECT_EQ(extractor.stozj(page(QStringLiteral("<a href=\"1\">一</a>")), book, bad), 0);
  EXPECT_TRUE(chapters(book).empty());
}

TEST_F(Extraction, ALongListReportsProgressAndAStopStoresNothing) {
  QString book = addBook(QStringLiteral("书"), "http://s.example/");
  QString html = QStringLiteral("<h3>卷一</h3>");
  for (int i = 0; i < 5000; ++i)
    html += QStringLiteral("<a href=\"%1\">第%1章</a>").arg(i);
  const QByteArray toc = page(html);
  QList<qsizetype> reported;
  int asked = 0;
  ChapterListExtractor::Watch watch;
  watch.progress = [&](qsizetype found) { reported << found; };
  watch.stop = [&] { return ++asked > 1; }; // stop at the second look
  EXPECT_EQ(extractor.stozj(toc, book, tocRule(), watch), 0);
  EXPECT_TRUE(chapters(book).empty());
  EXPECT_FALSE(reported.isEmpty());
  // Without a stop the whole list goes in, with its volume, and progress climbs to the end.
  reported.clear();
  watch.stop = {};
  EXPECT_EQ(extractor.stozj(toc, book, tocRule(), watch), 5000);
  EXPECT_EQ(reported.last(), 4000);
  EXPECT_EQ(chapters(book).back().volume, QStringLiteral("卷一"));
}

TEST_F(Extraction, AnAddressListedTwentyThousandTimesIsStoredOnce) {
  // Found by fuzzing: renumbering and refreshing ran one statement per listing.
  QString book = addBook(QStringLiteral("书"), "http://s.example/");
  extractor.stozj(page(QStringLiteral("<a href=\"1\">一</a>")), book, tocRule());
  const QString id = chapters(book)[0].id;
  QString html;
  for (int i = 0; i < 20000; ++i)
    html += QStringLiteral("<a href=\"1\">名%1</a>").arg(i);
  const QByteArray toc = page(html);
  auto r = extractor.regetzjfjnm(toc, book, id, QStringLiteral("http://s.example/1"), tocRule());
  ASSERT_TRUE(r);
  EXPECT_EQ(r->name, QStringLiteral("名19999"));
  EXPECT_EQ(chapters(book)[0].name, QStringLiteral("名19999"));
  EXPECT_EQ(extractor.stozjpx(toc, book, tocRule()), 20000);
  EXPECT_EQ(chapters(book)[0].paix, 20000); // the last listing's place
}
