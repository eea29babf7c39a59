// How the program meets the desktop: Qt's texts in Chinese, file dialogs made in one place.
#include "core/settings.h"
#include "core/ui/artwork.h"
#include "core/ui/desktopapp.h"
#include "core/ui/filedialogs.h"
#include "core/ui/messagewindows.h"
#include "core/ui/programstyle.h"
#include "core/ui/translations.h"
#include "data_fixture.h"
#include "shelf/ui/booktree.h"
#include "shelf/ui/shelfwiring.h"
#include "shell/ui/mainform.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QTranslator>
#include <gtest/gtest.h>

using namespace inkwren;
using namespace inkwren::test;

namespace {

// Installs the translations for one test and removes them afterwards.
struct Translated : ::testing::Test {
  QTranslator *translator = nullptr;
  void install(const QLocale &locale) {
    translator = installQtTranslations(*qApp, locale);
    ASSERT_NE(translator, nullptr)
        << "no Qt translations in "
        << QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString();
  }
  void TearDown() override {
    if (translator) {
      QCoreApplication::removeTranslator(translator);
      delete translator;
    }
  }
};

} // namespace

TEST(QtTranslations, ChineseVariantFollowsTheLocaleAndIsTheDefault) {
  struct Case {
    const char *locale;
    const char *file;
  } cases[] = {{"zh_CN", "zh_CN"}, {"zh_SG", "zh_CN"}, {"zh_TW", "zh_TW"}, {"zh_HK", "zh_TW"},
               {"en_US", "zh_CN"}, {"de_DE", "zh_CN"}, {"C", "zh_CN"}};
  for (const Case &c : cases)
    EXPECT_EQ(qtTranslationLocale(QLocale(QLatin1String(c.locale))), QLatin1String(c.file))
        << c.locale;
}

TEST_F(Translated, QtTextsAreChineseForAnEnglishUser) {
  const QString before = QCoreApplication::translate("QFileDialog", "Look in:");
  install(QLocale(QLocale::English, QLocale::UnitedStates));
  const QString after = QCoreApplication::translate("QFileDialog", "Look in:");
  EXPECT_EQ(before, QStringLiteral("Look in:"));
  EXPECT_NE(after, before);
  EXPECT_TRUE(after.contains(QChar(0x67e5))) << after.toStdString(); // 查找范围
}

TEST(QtTranslations, MissingFilesInstallNothing) {
  const int before = qApp->findChildren<QTranslator *>().size();
  EXPECT_EQ(installQtTranslations(*qApp, QLocale::system(), QStringLiteral("/nonexistent")),
            nullptr);
  EXPECT_EQ(qApp->findChildren<QTranslator *>().size(), before);
}

TEST_F(Translated, TheProgramsApplicationSpeaksChineseAndWearsItsLook) {
  const QString styleName = qApp->style()->name();
  const QPalette palette = QApplication::palette();
  translator = prepareDesktopApplication(*qApp);
  ASSERT_NE(translator, nullptr);
  EXPECT_TRUE(qApp->findChildren<QTranslator *>().contains(translator));
  EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
  EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("inkwren"));
  EXPECT_FALSE(QApplication::windowIcon().isNull());
  EXPECT_EQ(QApplication::palette().color(QPalette::Highlight), look::kAccent);
  EXPECT_TRUE(qApp->styleSheet().contains(QStringLiteral("QMenu::item:selected")));
  // Error and question pictures are the program's own in every dialog, Qt's included.
  const QImage own = artwork::messageIcon(artwork::MessageIcon::Error).pixmap(32).toImage();
  EXPECT_EQ(qApp->style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32).toImage(), own);

  qApp->setStyleSheet(QString());
  QApplication::setStyle(QStyleFactory::create(styleName));
  QApplication::setPalette(palette);
}

TEST_F(Translated, QtsOwnFileDialogSpeaksChineseAndKeepsTheChoices) {
  install(QLocale(QLocale::Chinese, QLocale::China));
  // The test platform has no desktop dialog, so this is Qt's own, translated.
  std::unique_ptr<QFileDialog> save(
      SystemFileDialogs::make(nullptr, true, QStringLiteral("制作电子书"), QStringLiteral("书.txt"),
                              FileDialogs::textFilter()));
  EXPECT_FALSE(save->testOption(QFileDialog::DontUseNativeDialog)); // the desktop's, if any
  EXPECT_TRUE(save->testOption(QFileDialog::DontConfirmOverwrite)); // asked by the command
  EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
  EXPECT_EQ(save->windowTitle(), QStringLiteral("制作电子书"));
  EXPECT_EQ(save->nameFilters(), QStringList{QStringLiteral("TXT文件(*.txt)")});
  save->show();
  QStringList english;
  for (QLabel *l : save->findChildren<QLabel *>())
    if (l->isVisible() && !l->text().isEmpty() && l->text().at(0).unicode() < 128)
      english << l->text();
  for (QPushButton *b : save->findChildren<QPushButton *>())
    if (b->isVisible() && !b->text().isEmpty() && b->text().at(0).unicode() < 128)
      english << b->text();
  EXPECT_TRUE(english.isEmpty()) << english.join(QStringLiteral(", ")).toStdString();
  EXPECT_GE(save->width(), 700); // columns show
  save->hide();

  std::unique_ptr<QFileDialog> open(
      SystemFileDialogs::make(nullptr, false, QStringLiteral("导入"), QString(), QString()));
  EXPECT_EQ(open->acceptMode(), QFileDialog::AcceptOpen);
  EXPECT_EQ(open->fileMode(), QFileDialog::ExistingFile);
}

namespace {

struct DialogsInWindow : DataFixture {
  FakeFileDialogs dialogs;
  std::unique_ptr<Tmainform> main;
  std::unique_ptr<ShelfWiring> shelf;
  void SetUp() override {
    DataFixture::SetUp();
    openLibrary();
    app.updates.setUpdateNewBooks(false);
    main = std::make_unique<Tmainform>(services, makeFakeHtmlView);
    main->setFileDialogs(dialogs);
    shelf = std::make_unique<ShelfWiring>(services, *main, shelfModel(), updateRunning());
  }
};

} // namespace

TEST_F(DialogsInWindow, ShelfCommandsAskTheWindowsFileDialogs) {
  Tmainform plain(services, makeFakeHtmlView);
  EXPECT_NE(dynamic_cast<SystemFileDialogs *>(&plain.fileDialogs()), nullptr);
  EXPECT_EQ(&main->fileDialogs(), &dialogs);

  auto id = shelf->bookshelf().newbook_do(QStringLiteral("T"), QStringLiteral("书"), {},
                                          QStringLiteral("http://x/"));
  ASSERT_TRUE(id);
  shelf->bookshelf().redrawbookx(*id);
  shelf->tree().setCurrentItem(shelf->tree().getbn(*id));
  main->N88->trigger(); // "制作电子书", cancelled in the dialog
  ASSERT_EQ(dialogs.suggestions, QStringList{QStringLiteral("书.txt")});
  EXPECT_EQ(dialogs.captions, QStringList{QStringLiteral("制作电子书")});
  EXPECT_EQ(dialogs.filters, QStringList{QStringLiteral("TXT文件(*.txt)")});
  EXPECT_TRUE(messages.shown.isEmpty());
}

namespace {

struct StartedWindow : DataFixture {
  std::unique_ptr<Tmainform> start() {
    auto w = std::make_unique<Tmainform>(services, makeFakeHtmlView);
    settings.setValue(Settings::fullscreen, QStringLiteral("0"));
    settings.setValue(Settings::width, QStringLiteral("1100"));
    settings.setValue(Settings::height, QStringLiteral("700"));
    w->applySettings();
    w->show();
    return w;
  }
  int left(Tmainform &w) { return w.RzSplitter1->sizes().value(0); }
};

} // namespace

TEST_F(StartedWindow, LeftPaneFitsItsColumnsThenKeepsWhereTheUserDraggedIt) {
  ASSERT_TRUE(settings.getset());
  int dragged = 0;
  {
    auto w = start();
    // First start: the chapter list's name and word count show, and more than the old 200.
    const QHeaderView *chapters = w->mululv->header();
    EXPECT_GE(left(*w), chapters->sectionSize(0) + chapters->sectionSize(1));
    EXPECT_GT(left(*w), 200);
    EXPECT_EQ(settings.value(Settings::leftwidth), QString()); // nothing stored by placing

    // The user drags the handle 90 pixels to the left.
    QSplitterHandle *handle = w->RzSplitter1->handle(1);
    const QPoint from = handle->rect().center();
    const int before = left(*w);
    QTest::mousePress(handle, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(from - QPoint(90, 0)),
                     handle->mapToGlobal(QPointF(from - QPoint(90, 0))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(handle, &move);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, from - QPoint(90, 0));
    dragged = left(*w);
    EXPECT_EQ(dragged, before - 90);
    EXPECT_EQ(settings.value(Settings::leftwidth), QString::number(dragged));
  }
  // A restart reads the file again and puts the pane where it was.
  Settings again(settings.path());
  ASSERT_TRUE(again.getset());
  EXPECT_EQ(again.value(Settings::leftwidth), QString::number(dragged));
  settings.setValue(Settings::leftwidth, again.value(Settings::leftwidth));
  auto w = start();
  EXPECT_EQ(left(*w), dragged);

  // A stored width too large for the window leaves the page its room.
  settings.setValue(Settings::leftwidth, QStringLiteral("5000"));
  w->applySettings();
  EXPECT_LE(left(*w), 1100 - 300);
}

TEST(MessageWindows, PicturesFollowWhatTheMessageSays) {
  using artwork::MessageIcon;
  struct Case {
    const char *text;
    MessageIcon picture;
  } cases[] = {
      {"保存失败!", MessageIcon::Error},
      {"账号或密码错误!", MessageIcon::Error},
      {"连接数据库失败!\nx: y", MessageIcon::Error},
      {"当前没有选中小说!", MessageIcon::Warning},
      {"分类名称重复!", MessageIcon::Warning},
      {"章节名称不可为空!", MessageIcon::Warning},
      {"当前下载更新进程执行中，不可以执行该操作!", MessageIcon::Warning},
      {"保存成功!", MessageIcon::Information},
      {"当前版本为最新版本，无需更新！", MessageIcon::Information},
  };
  Ttsform window;
  for (const Case &c : cases) {
    window.prepare(QString::fromUtf8(c.text));
    EXPECT_EQ(window.picture(), c.picture) << c.text;
  }
}

TEST_F(StartedWindow, TheWindowsOwnStylesStayOutOfItsDialogs) {
  // A dialog of the window whose edit box shares a name with the title band's search box
  // (the search configuration's "skey") shows its text in ink, not white on white.
  auto w = start();
  QDialog dialog(w.get());
  auto *edit = new QLineEdit(QStringLiteral("ABCDEFGH"), &dialog);
  edit->setObjectName(QStringLiteral("skey"));
  edit->setGeometry(10, 10, 200, 26);
  dialog.resize(220, 46);
  dialog.show();
  const QImage image = dialog.grab(edit->geometry()).toImage(); // on the dialog's background
  int dark = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      dark += qAlpha(image.pixel(x, y)) > 200 && qGray(image.pixel(x, y)) < 100;
  EXPECT_GT(dark, 20);
}
