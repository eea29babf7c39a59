#include "core/codec.h"
#include "core/profilefile.h"
#include "core/settings.h"
#include "support/size_limit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace inkwren;

namespace {

QByteArray fileBytes(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

struct SettingsFixture : ::testing::Test {
  QTemporaryDir dir;
  QString path() { return dir.filePath(QStringLiteral("set.ini")); }
};

} // namespace

TEST_F(SettingsFixture, DefaultsWithoutAFile) {
  Settings s(path());
  EXPECT_TRUE(s.getset());
  EXPECT_EQ(s.value(Settings::fullscreen), "1");
  EXPECT_EQ(s.value(Settings::width), "800");
  EXPECT_EQ(s.value(Settings::captionfont), QStringLiteral("宋体"));
  EXPECT_EQ(s.value(Settings::upvid), "0");
  EXPECT_EQ(s.section(Settings::ssout), "mainset");
  EXPECT_EQ(s.key(Settings::voicechoise), "voicechoise");
  EXPECT_EQ(s.value(Settings::count), QString());
}

TEST_F(SettingsFixture, FileOverlaysOnlyItsKeys) {
  writeBytes(path(), "[MainSet]\r\nWIDTH = 1024\r\nunknown=5\r\n[captionset]\r\ncaptionfont=\r\n");
  Settings s(path());
  ASSERT_TRUE(s.getset());
  EXPECT_EQ(s.value(Settings::width), "1024");
  EXPECT_EQ(s.value(Settings::height), "600");
  EXPECT_EQ(s.value(Settings::captionfont), ""); // present but empty
  for (int i = 0; i < Settings::count; ++i) {
    if (i != Settings::width && i != Settings::captionfont) {
      EXPECT_EQ(s.value(i), Settings::defaultValue(i)) << i;
    }
  }
}

TEST_F(SettingsFixture, WritesAreRefusedWhileNotLive) {
  Settings s(path());
  s.store(Settings::voicevolume, "40");
  EXPECT_FALSE(QFile::exists(path()));
  EXPECT_EQ(s.value(Settings::voicevolume), "40");
  s.setLive(true);
  EXPECT_TRUE(s.writesetx(Settings::fullscreen));
  EXPECT_EQ(fileBytes(path()), QByteArray("[mainset]\r\nfullscreen=1\r\n"));
  EXPECT_TRUE(s.live());
}

TEST_F(SettingsFixture, WholeTableWriteKeepsForeignLinesAndRoundTripsGbk) {
  writeBytes(path(), "; comment\r\n[other]\r\nx=1\r\n");
  Settings s(path());
  s.setLive(true);
  s.setValue(Settings::userlist, QStringLiteral("张三,李四"));
  ASSERT_TRUE(s.writeset());
  QByteArray bytes = fileBytes(path());
  EXPECT_TRUE(bytes.startsWith("; comment\r\n[other]\r\nx=1\r\n"));
  EXPECT_TRUE(bytes.contains(codec::encode(QStringLiteral("userlist=张三,李四\r\n"))));
  EXPECT_TRUE(bytes.contains("setvid=0\r\n"));
  Settings again(path());
  ASSERT_TRUE(again.getset());
  for (int i = 0; i < Settings::count; ++i)
    EXPECT_EQ(again.value(i), s.value(i)) << i;
}

TEST_F(SettingsFixture, WriteToAMissingFolderFailsQuietly) {
  Settings s(dir.filePath(QStringLiteral("config/set.ini")));
  s.setLive(true);
  s.setValue(Settings::width, "900");
  EXPECT_FALSE(s.writesetx(Settings::width));
  EXPECT_EQ(s.value(Settings::width), "900");
  EXPECT_TRUE(s.live());
}

TEST_F(SettingsFixture, WriteOnAFullDiskKeepsTheFileAndSaysSo) {
  const QByteArray before = "[mainset]\r\nwidth=1024\r\nfullscreen=0\r\n";
  writeBytes(path(), before);
  Settings s(path());
  ASSERT_TRUE(s.getset());
  s.setLive(true);
  s.setValue(Settings::width, "900");
  // Nothing fits, or only the first bytes of the new file do.
  for (long limit : {0L, 20L}) {
    EXPECT_EQ(test::underFileSizeLimit(limit, [&] { return s.writesetx(Settings::width); }), false)
        << limit;
    EXPECT_EQ(test::underFileSizeLimit(limit, [&] { return s.writeset(); }), false) << limit;
    EXPECT_EQ(fileBytes(path()), before) << limit;
  }
  EXPECT_EQ(test::underFileSizeLimit(4096, [&] { return s.writesetx(Settings::width); }), true);
  EXPECT_EQ(fileBytes(path()), "[mainset]\r\nwidth=900\r\nfullscreen=0\r\n");
}

TEST_F(SettingsFixture, UnreadableFileGivesUpAndKeepsDefaults) {
  QDir(dir.path()).mkdir(QStringLiteral("set.ini")); // a folder where the file should be
  Settings s(path());
  EXPECT_FALSE(s.getset(3, std::chrono::milliseconds(1)));
  EXPECT_EQ(s.value(Settings::width), "800");
}

TEST_F(SettingsFixture, ChangesAreAnnouncedByRowOnlyWhenTheValueDiffers) {
  writeBytes(path(), "[mainset]\r\nwidth=900\r\nheight=600\r\n[readset]\r\nautomark=1\r\n");
  Settings s(path());
  QList<int> rows;
  QObject::connect(&s, &Settings::changed, [&](int index) { rows << index; });
  ASSERT_TRUE(s.getset());
  // height and automark are already the defaults: only width changed.
  EXPECT_EQ(rows, QList<int>{Settings::width});
  rows.clear();
  s.setValue(Settings::width, QStringLiteral("900")); // same value
  s.setLive(true);
  s.store(Settings::sscount, QStringLiteral("7"));
  s.setValue(Settings::count, QStringLiteral("x")); // no such row
  EXPECT_EQ(rows, QList<int>{Settings::sscount});
  rows.clear();
  s.newset(); // back to the defaults: the two changed rows again
  EXPECT_EQ(rows, (QList<int>{Settings::width, Settings::sscount}));
}

TEST(Colors, HtmlToColorAndBack) {
  struct Case {
    const char *text;
    Rgb rgb;
  } cases[] = {
      {"#FF9900", {255, 153, 0}},
      {"#fff", {255, 15, 0}},
      {"\"#00ff00\"", {0, 255, 0}},
      {"#zz0102", {0, 1, 2}},
      {"", {0, 0, 0}},
      {"#   123456", {0x12, 0x34, 0x56}},
  };
  for (const Case &c : cases)
    EXPECT_EQ(Settings::HtmlToColor(QString::fromLatin1(c.text)), c.rgb) << c.text;
  EXPECT_EQ(Settings::ColorToHtml({255, 0, 0}), "#ff0000");
  EXPECT_EQ(Settings::ColorToHtml({1, 171, 16}), "#01ab10");
}

TEST(Profile, KeysAndSectionsIgnoreCaseAndValuesAreCut) {
  QTemporaryDir dir;
  QString path = dir.filePath(QStringLiteral("p.ini"));
  QByteArray longValue(3000, 'v');
  writeBytes(path, "[A]\nKey=one\n\n[b]\nlong=" + longValue + "\nq=\"quoted\"\n");
  ProfileFile p(path);
  ASSERT_EQ(p.load(), ProfileFile::LoadResult::Loaded);
  EXPECT_EQ(p.value("a", "KEY", "x"), "one");
  EXPECT_EQ(p.value("B", "long", "x").size(), 2047);
  EXPECT_EQ(p.value("b", "q", "x"), "quoted");
  EXPECT_EQ(p.value("b", "none", "fallback"), "fallback");
  p.setValue("a", "new", "2");
  p.setValue("A", "KEY", "three");
  p.setValue("c", "k", "v");
  ASSERT_TRUE(p.save());
  EXPECT_EQ(fileBytes(path), "[A]\r\nKEY=three\r\nnew=2\r\n\r\n[b]\r\nlong=" + longValue +
                                 "\r\nq=\"quoted\"\r\n[c]\r\nk=v\r\n");
}
