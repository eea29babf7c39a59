#include "shelf_fixture.h"

#include "core/codec.h"
#include "rules/ruleinterpreter.h"
#include "shelf/chapterfiles.h"
#include "shelf/chapterimport.h"
#include "shelf/chapterstore.h"
#include "shelf/conversions.h"
#include "shelf/ebook.h"
#include "shelf/findreplace.h"
#include "support/size_limit.h"

#include <QCoreApplication>
#include <QFile>

#include <unistd.h>

namespace inkwren::test {
namespace {

QByteArray fileBytes(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void put(const QString &path, QByteArrayView bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes.data(), bytes.size());
}

TEST(ZishutjTest, CountsPrintableAsciiAndHalfTheHighBytes) {
  struct Case {
    QString text;
    int words;
  };
  const Case cases[] = {
      {QStringLiteral("abc 你好"), 5}, {QStringLiteral(""), 0},   {QStringLiteral(" \t\r\n"), 0},
      {QStringLiteral("~!"), 2},       {QStringLiteral("你"), 1},
  };
  for (const Case &c : cases)
    EXPECT_EQ(ChapterFiles::zishutj(codec::encode(c.text)), c.words) << c.text.toStdString();
  EXPECT_EQ(ChapterFiles::zishutj(QByteArray("\x7f\x80\x81", 3)), 1); // odd high bytes round down
}

class FilesTest : public ShelfFixture {
protected:
  FilesTest() {
    t = category(QStringLiteral("T"), 1);
    b = book(t, QStringLiteral("书"), 1);
  }
  QString t, b;
  ChapterStore store{db};
  ChapterFiles files{folder};
};

TEST_F(FilesTest, DeleteDirNeverFollowsLinksOutOfTheFolder) {
  const QString outside = tmp.path() + "/outside";
  QDir().mkpath(outside + "/deep");
  put(outside + "/keep.txt", "k");
  put(outside + "/deep/keep2.txt", "k");
  const QString dir = files.bookDir(b);
  QDir().mkpath(dir + "/5");
  put(dir + "/5.txt", "x");
  put(dir + "/5/0.jpg", "x");
  ASSERT_EQ(symlink(outside.toUtf8(), (dir + "/5/link").toUtf8()), 0);
  ASSERT_EQ(symlink((outside + "/keep.txt").toUtf8(), (dir + "/file-link").toUtf8()), 0);
  QFile(dir + "/5.txt").setPermissions(QFileDevice::ReadOwner); // read-only files go too

  ChapterFiles::DeleteDir(dir + "/");
  EXPECT_FALSE(QFileInfo::exists(dir));
  EXPECT_TRUE(QFile::exists(outside + "/keep.txt"));
  EXPECT_TRUE(QFile::exists(outside + "/deep/keep2.txt"));

  // A folder path that is itself a link is unlinked, not emptied.
  const QString linked = files.bookDir("77");
  ASSERT_EQ(symlink(outside.toUtf8(), linked.toUtf8()), 0);
  ChapterFiles::DeleteDir(linked);
  EXPECT_FALSE(QFileInfo(linked).isSymLink());
  EXPECT_TRUE(QFile::exists(outside + "/keep.txt"));
}

TEST_F(FilesTest, EbookLayoutOfTwoChapters) {
  QString c1 = chapter(b, "C1", 1, 0, 1, "V"), c2 = chapter(b, "C2", 2, 0, 1, "V");
  chapter(b, "hidden", 3, 0, 0, "V");
  QString c3 = chapter(b, "C3", 4, 0, 1, "");
  ASSERT_TRUE(files.writeChapter(b, c1, "T1"));
  ASSERT_TRUE(files.writeChapter(b, c2, "T2\r\n"));
  Ebook ebook(store, files);
  const QString path = tmp.path() + "/out.txt";
  ASSERT_EQ(ebook.makeebook(b, path, false), Ebook::Outcome::Written);
  EXPECT_EQ(fileBytes(path), QByteArray("V C1\r\n\r\nT1\r\n\r\n\r\n"
                                        "V C2\r\n\r\nT2\r\n\r\n\r\n"
                                        " C3\r\n\r\n\r\n\r\n"));
  (void)c3;
  // An existing file is replaced only when allowed.
  put(path, "old");
  EXPECT_EQ(ebook.makeebook(b, path, false), Ebook::Outcome::Exists);
  EXPECT_EQ(fileBytes(path), "old");
  EXPECT_EQ(ebook.makeebook(b, path, true), Ebook::Outcome::Written);
  EXPECT_TRUE(fileBytes(path).startsWith("V C1"));
  // A failed library read writes nothing.
  db.connectionend();
  EXPECT_EQ(ebook.makeebook(b, tmp.path() + "/none.txt", true), Ebook::Outcome::Failed);
  EXPECT_FALSE(QFile::exists(tmp.path() + "/none.txt"));
}

TEST(EbookPathTest, TxtEndingRule) {
  const std::pair<const char *, const char *> cases[] = {
      {"/x/书.TXT", "/x/书.TXT"},     {"/x/a.txt", "/x/a.txt"}, {"/x/a", "/x/a.txt"},
      {"/x/a.text", "/x/a.text.txt"}, {"/x/txt", "/x/txt.txt"},
  };
  for (auto [in, out] : cases)
    EXPECT_EQ(Ebook::ebookPath(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}

TEST(ImportNameTest, CutBeforeTheFirstDotUnlessItLeads) {
  const std::pair<const char *, const char *> cases[] = {
      {"/d/A.B.txt", "A"},
      {"/d/.hidden.txt", ".hidden.txt"},
      {"/d.x/plain", "plain"},
      {"第一章.txt", "第一章"},
  };
  for (auto [in, out] : cases)
    EXPECT_EQ(ChapterImport::importName(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}

TEST_F(FilesTest, ImportAddsANamedCountedChapterInANewFolder) {
  chapter(b, "first", 1);
  const QString src = tmp.path() + "/A.B.txt";
  put(src, codec::encode(QStringLiteral("ab 你好\n第二行")));
  ASSERT_FALSE(QDir(files.bookDir(b)).exists());
  ChapterImport import(store, files);
  auto row = import.filetozj(b, src);
  ASSERT_TRUE(row);
  EXPECT_EQ(row->name, "A");
  EXPECT_EQ(row->volume, "");
  EXPECT_EQ(row->url, "");
  EXPECT_EQ(row->words, 2 + 2 + 3);
  EXPECT_EQ(paix("book_zhangjie", "zhangjieid", row->id), 2);
  EXPECT_EQ(fileBytes(files.chapterFile(b, row->id)),
            codec::encode(QStringLiteral("ab 你好\r\n第二行\r\n")));
  // A file that isn't there adds nothing.
  EXPECT_FALSE(import.filetozj(b, tmp.path() + "/missing.txt"));
  EXPECT_EQ(store.drawmulu(b, 0)->size(), 2u);
}

TEST_F(FilesTest, ImportThatCannotWriteItsTextLeavesNoRow) {
  const QString src = tmp.path() + "/x.txt";
  put(src, "text");
  // A plain file where the book's folder should be: the text can't be written.
  put(files.bookDir(b), "blocker");
  auto row = ChapterImport(store, files).filetozj(b, src);
  EXPECT_FALSE(row);
  EXPECT_TRUE(store.drawmulu(b, 0)->empty());
}

TEST_F(FilesTest, ChapterWriteOnAFullDiskKeepsTheOldText) {
  const QByteArray old = codec::encode(QStringLiteral("旧的正文\r\n"));
  ASSERT_TRUE(files.writeChapter(b, "7", old));
  const QByteArray next = codec::encode(QStringLiteral("新的正文")).repeated(100);
  for (long limit : {0L, 10L}) {
    EXPECT_EQ(underFileSizeLimit(limit, [&] { return files.writeChapter(b, "7", next); }), false)
        << limit;
    EXPECT_EQ(fileBytes(files.chapterFile(b, "7")), old) << limit;
    // A chapter that had no file yet gets none.
    EXPECT_EQ(underFileSizeLimit(limit, [&] { return files.writeChapter(b, "8", next); }), false)
        << limit;
    EXPECT_FALSE(QFile::exists(files.chapterFile(b, "8"))) << limit;
  }
}

TEST_F(FilesTest, TraditionalSimplifiedRoundTripOfChapterFiles) {
  Conversions conv;
  EXPECT_EQ(conv.GBChs2Cht(QStringLiteral("简体中文")), QStringLiteral("簡體中文"));
  EXPECT_EQ(conv.GBCht2Chs(QStringLiteral("簡體中文")), QStringLiteral("简体中文"));

  QString c1 = chapter(b, "c1", 1), c2 = chapter(b, "c2", 2), gone = chapter(b, "c3", 3);
  const QByteArray s1 = codec::encode(QStringLiteral("这是简体字。\r\n第二行\r\n"));
  const QByteArray s2 = codec::encode(QStringLiteral("马与鸟\r\n"));
  ASSERT_TRUE(files.writeChapter(b, c1, s1));
  ASSERT_TRUE(files.writeChapter(b, c2, s2));
  ASSERT_TRUE(conv.bianma(files, b, {c1, c2, gone}, Conversions::ToTraditional));
  EXPECT_EQ(codec::decode(files.readChapter(b, c1)), QStringLiteral("這是簡體字。\r\n第二行\r\n"));
  EXPECT_EQ(codec::decode(files.readChapter(b, c2)), QStringLiteral("馬與鳥\r\n"));
  EXPECT_FALSE(QFile::exists(files.chapterFile(b, gone))); // no empty file made up
  ASSERT_TRUE(conv.bianma(files, b, {c1, c2}, Conversions::ToSimplified));
  EXPECT_EQ(files.readChapter(b, c1), s1);
  EXPECT_EQ(files.readChapter(b, c2), s2);
}

TEST_F(FilesTest, NumericReferencesBecomeCharacters) {
  int argc = 1;
  char name[] = "test_shelf";
  char *argv[] = {name, nullptr};
  QCoreApplication app(argc, argv); // the script engine of the entity decoding needs one
  Conversions conv;
  // Without the decoding the program gives, the conversion is not offered.
  EXPECT_FALSE(conv.available(Conversions::NumericReferences));
  conv.setEntityDecoder([](const QByteArray &text) { return RuleInterpreter::sun(text); });
  QString c = chapter(b, "c", 1), d = chapter(b, "d", 2);
  ASSERT_TRUE(files.writeChapter(b, c, "&#20320;&#22909;&ldquo;x&rdquo;&#x4e00;"));
  ASSERT_TRUE(files.writeChapter(b, d, "&#65;"));
  ASSERT_TRUE(conv.available(Conversions::NumericReferences));
  ASSERT_TRUE(conv.bianma(files, b, {c}, Conversions::NumericReferences));
  EXPECT_EQ(codec::decode(files.readChapter(b, c)),
            QStringLiteral("你好\u201Cx\u201D&#x4e00;\r\n"));
  // A decoder that can't run converts nothing and says so.
  conv.setEntityDecoder([](const QByteArray &) { return std::optional<QByteArray>(); });
  EXPECT_FALSE(conv.bianma(files, b, {d}, Conversions::NumericReferences));
  EXPECT_EQ(files.readChapter(b, d), "&#65;\r\n");
}

TEST(FindReplaceTest, FindsExactlyAfterTheGivenPosition) {
  const QString text = QStringLiteral("Abc abc");
  EXPECT_EQ(findreplace::findNext(text, 0, u"abc"), 4); // case-sensitive
  EXPECT_EQ(findreplace::findNext(text, 5, u"abc"), -1);
  EXPECT_EQ(findreplace::findNext(text, text.size(), u"A"), -1); // whole text selected
  EXPECT_EQ(findreplace::findNext(text, 0, u""), -1);
}

TEST(FindReplaceTest, ReplaceAllEndsEvenWhenTheReplacementHoldsTheFindText) {
  struct Case {
    const char *text, *find, *repl, *out;
    int count;
  };
  const Case cases[] = {
      {"甲乙甲", "甲", "乙", "乙乙乙", 2}, {"甲乙甲", "甲", "甲甲", "甲甲乙甲甲", 2},
      {"aaa", "a", "ba", "bababa", 3},     {"xyz", "q", "r", "xyz", 0},
      {"aAa", "A", "", "aa", 1},
  };
  for (const Case &c : cases) {
    int n = -1;
    EXPECT_EQ(findreplace::replaceAll(QString::fromUtf8(c.text), QString::fromUtf8(c.find),
                                      QString::fromUtf8(c.repl), &n),
              QString::fromUtf8(c.out))
        << c.text;
    EXPECT_EQ(n, c.count) << c.text;
  }
}

} // namespace
} // namespace inkwren::test
