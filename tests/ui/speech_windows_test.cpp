// Reading aloud in the windows (offscreen): the caption window's width, dragging, toolbar and
// lines, and the read-aloud commands of the main window on a fake speech engine.
#include "shelf/ui/booktree.h"
#include "shelf/ui/chapterlist.h"
#include "shelf/ui/shelfwiring.h"
#include "shell/ui/mainform.h"
#include "shell/ui/programwindow.h"
#include "speech/ui/speechwiring.h"
#include "speech/ui/tcapform.h"
#include "speech_fixture.h"
#include "support/fake_speech_engine.h"

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

using namespace inkwren;
using namespace inkwren::test;

namespace {

struct CaptionWindow : DataFixture {
  std::unique_ptr<Tcapform> cap;
  QPoint pointer{5000, 5000}; // far outside the window

  void SetUp() override {
    DataFixture::SetUp();
    settings.setLive(true);
    cap = std::make_unique<Tcapform>(settings);
    cap->screenRect = [] { return QRect(0, 0, 1000, 800); };
    cap->cursorPos = [this] { return pointer; };
  }
  // Drags by the toolbar background from where it is by (dx, dy).
  void drag(int dx, int dy) {
    cap->hover();
    ASSERT_TRUE(cap->toolbarShown());
    const QPoint start = cap->pos() + cap->capb().pos() + QPoint(5, 5);
    cap->bgimPress(start);
    cap->bgimMove(start + QPoint(dx, dy));
    cap->bgimRelease();
  }
};

TEST_F(CaptionWindow, WidthSnapsTo300AndIsStored) {
  ASSERT_TRUE(cap->isVisible());
  EXPECT_EQ(cap->width(), 600);
  cap->resize(250, cap->height());
  EXPECT_EQ(cap->width(), 300);
  EXPECT_EQ(settings.value(Settings::captionwidth), QStringLiteral("300"));
  cap->resize(480, cap->height());
  EXPECT_EQ(settings.value(Settings::captionwidth), QStringLiteral("480"));
  // Applying the settings does not write them back.
  settings.setValue(Settings::captionwidth, QStringLiteral("700"));
  cap->setcaption();
  EXPECT_EQ(cap->width(), 700);
  settings.setValue(Settings::captionwidth, QStringLiteral("wide"));
  cap->setcaption();
  EXPECT_EQ(cap->width(), 700);
}

TEST_F(CaptionWindow, DraggingIsClampedToTheScreenAndStored) {
  cap->move(100, 100);
  drag(-400, 0); // past the left edge
  EXPECT_EQ(cap->x(), 0);
  EXPECT_EQ(settings.value(Settings::captionleft), QStringLiteral("0"));
  drag(2000, 0); // past the right edge: the caption ends at the screen's edge
  EXPECT_EQ(cap->x() + cap->capbp().width(), 1000);
  EXPECT_EQ(settings.value(Settings::captionleft), QString::number(cap->x()));
  EXPECT_EQ(settings.value(Settings::captiontop), QString::number(cap->y() + cap->capbp().y()));
}

TEST_F(CaptionWindow, ToolbarFlipsAtTheBottomAndTopEdges) {
  cap->move(100, 300);
  ASSERT_TRUE(cap->toolbarUnderCaption());
  drag(0, 2000);
  EXPECT_FALSE(cap->toolbarUnderCaption());
  EXPECT_EQ(cap->capb().y(), 0);
  EXPECT_EQ(cap->capbp().y(), Tcapform::kToolbarHeight);
  EXPECT_EQ(cap->y() + cap->capbp().y() + cap->capbp().height(), 800); // caption on the screen
  drag(0, -2000);
  EXPECT_TRUE(cap->toolbarUnderCaption());
  EXPECT_EQ(cap->capbp().y(), 0);
  EXPECT_EQ(cap->y(), 0);
  EXPECT_EQ(settings.value(Settings::captiontop), QStringLiteral("0"));
}

TEST_F(CaptionWindow, HoverHidesTheTextAndShowsTheToolbarUnlessLocked) {
  // Unlocked: the toolbar stays while the pointer is inside, and at least five ticks.
  cap->hover();
  EXPECT_TRUE(cap->toolbarShown());
  EXPECT_EQ(cap->caplab().opacity(), 0);
  pointer = cap->geometry().center();
  for (int i = 0; i < 6; ++i)
    cap->captmTimer();
  EXPECT_TRUE(cap->toolbarShown());
  pointer = {5000, 5000};
  cap->captmTimer();
  EXPECT_FALSE(cap->toolbarShown());
  EXPECT_EQ(cap->caplab().opacity(), 100);

  // Locked from the caption's own button: the text still hides for a second, no toolbar.
  cap->hover();
  cap->lockcap->trigger();
  EXPECT_FALSE(cap->toolbarShown());
  EXPECT_EQ(settings.value(Settings::lockcap), QStringLiteral("1"));
  cap->hover();
  EXPECT_FALSE(cap->toolbarShown());
  EXPECT_EQ(cap->caplab().opacity(), 0);
  for (int i = 0; i < 4; ++i)
    cap->captmTimer();
  EXPECT_EQ(cap->caplab().opacity(), 0);
  cap->captmTimer();
  EXPECT_EQ(cap->caplab().opacity(), 100);
}

TEST_F(CaptionWindow, MemoWrapsIntoCaptionLines) {
  // The default look: the memo holds about as many characters as the caption shows.
  const int perLine = (cap->memoWidth() - 6) / 13;
  ASSERT_GT(perLine, 3);
  const QString text = QString(perLine * 2, QChar(0x5b57)) + QStringLiteral("\r\n尾行");
  cap->setMemoText(text);
  const QStringList lines = cap->memoLines();
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines[0].size(), perLine);
  EXPECT_EQ(lines[2], QStringLiteral("尾行"));
  cap->showWord(perLine * 2 + 3);
  EXPECT_EQ(cap->caplab().text(), QStringLiteral("尾行"));
  cap->clearCaption();
  EXPECT_TRUE(cap->caplab().text().isEmpty());

  // A glyph wider than the caption: a memo 6 pixels wide, one character a line.
  settings.setValue(Settings::captionwidth, QStringLiteral("300"));
  settings.setValue(Settings::captionsize, QStringLiteral("300"));
  cap->setcaption();
  EXPECT_EQ(cap->memoWidth(), 6);
  cap->setMemoText(QStringLiteral("甲乙丙"));
  EXPECT_EQ(cap->memoLines(), (QStringList{"甲", "乙", "丙"}));
}

TEST(CaptionLook, GradientStyles) {
  // Which of left, right, top, bottom and middle show the start colour (red); the others
  // show the end colour (white).
  struct Row {
    int type;
    bool left, right, top, bottom, middle;
  } rows[] = {
      {0, true, false, false, false, false}, {1, false, true, false, false, false},
      {2, false, false, true, false, false}, {3, false, false, false, true, false},
      {4, false, false, false, false, true}, {5, false, false, false, false, true},
  };
  for (const Row &r : rows) {
    CaptionLabel::Look look;
    look.shade = true;
    look.color = Qt::red;
    look.shadeColor = Qt::white;
    look.shadeType = r.type;
    QImage img(101, 101, QImage::Format_RGB32);
    QPainter(&img).fillRect(img.rect(), CaptionLabel::fill(look, QRectF(0, 0, 101, 101)));
    auto red = [&](int x, int y) { return QColor(img.pixel(x, y)).green() < 40; };
    auto white = [&](int x, int y) { return QColor(img.pixel(x, y)).green() > 215; };
    const std::pair<QPoint, bool> points[] = {{{0, 50}, r.left},
                                              {{100, 50}, r.right},
                                              {{50, 0}, r.top},
                                              {{50, 100}, r.bottom},
                                              {{50, 50}, r.middle}};
    for (const auto &[at, start] : points) {
      // Points on the gradient's axis are at either end; the others are in between.
      const bool onAxis = (r.type == 0 || r.type == 1 || r.type == 4) ? at.y() == 50 : at.x() == 50;
      const bool middle = at == QPoint(50, 50);
      if (!onAxis || (middle && r.type < 4))
        continue; // off the axis, or halfway along a one-way gradient
      EXPECT_TRUE(start ? red(at.x(), at.y()) : white(at.x(), at.y()))
          << "type " << r.type << " at " << at.x() << "," << at.y();
    }
  }
}

TEST(CaptionLook, BackgroundOpacityAndHover) {
  CaptionLabel label;
  CaptionLabel::Look look;
  look.font.setPixelSize(40);
  look.back = true;
  look.backColor = QColor(0, 0, 255);
  label.setLook(look);
  label.setText(QStringLiteral("墨鹪"));
  label.resize(300, label.sizeHint().height());
  auto image = [&] { return label.grab().toImage(); };
  auto hasRed = [](const QImage &img) {
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) {
        const QColor c = img.pixelColor(x, y);
        if (c.red() > 200 && c.blue() < 60 && c.alpha() > 200)
          return true;
      }
    return false;
  };
  QImage shown = image();
  EXPECT_EQ(shown.pixelColor(1, 1), QColor(0, 0, 255));
  EXPECT_TRUE(hasRed(shown));
  // Hovered: no text, and the background is see-through.
  label.setOpacity(0);
  label.setBackgroundShown(false);
  QImage hovered = image();
  EXPECT_LT(hovered.pixelColor(1, 1).alpha(), 5);
  EXPECT_FALSE(hasRed(hovered));
}

struct SpeechWindows : DataFixture {
  FakeSpeechEngine *engine = nullptr;
  std::unique_ptr<ProgramWindow> window;
  Tmainform *main = nullptr;
  SpeechBook book;
  QString bookId;
  QStringList ids;

  void SetUp() override {
    DataFixture::SetUp();
    openLibrary();
    book.make(*this, true);
    engine = book.engine;
    bookId = book.bookId;
    ids = book.ids;
    window = std::make_unique<ProgramWindow>(app, makeFakeHtmlView);
    main = &window->main();
    app.shelf.drawbookpanel();
    settings.setLive(true);
  }
  QAction *cmd(const char *name) { return main->command(QLatin1String(name)); }
  void settle() {
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app.speech().busy(); }, 5000));
  }
};

TEST_F(SpeechWindows, ReadFromTheMenusAndFollowTheButtons) {
  for (const char *name : {"voicebegin", "voicestop", "readlast", "readnext"}) {
    ASSERT_NE(cmd(name), nullptr) << name;
    EXPECT_FALSE(cmd(name)->isEnabled()) << name;
  }
  cmd("RzToolButton12")->trigger();
  EXPECT_EQ(messages.shown.value(0), QStringLiteral("当前没有选中任何章节!"));
  EXPECT_TRUE(engine->requests.empty());

  BookTree &tree = window->shelf().tree();
  tree.setCurrentItem(tree.getbn(bookId));
  cmd("N21")->trigger();
  ASSERT_EQ(engine->requests.size(), 1u);
  EXPECT_EQ(main->nowreadxx->text(), QStringLiteral("《书》第1章"));
  EXPECT_EQ(cmd("voicebegin")->property("picture").toInt(), 1);
  EXPECT_TRUE(cmd("voicestop")->isEnabled());
  EXPECT_TRUE(cmd("readnext")->isEnabled());
  Tcapform &cap = window->speech().caption();
  EXPECT_TRUE(cap.voicestop->isEnabled());
  engine->hearWord(0, 1);
  EXPECT_EQ(cap.caplab().text(), QStringLiteral("text"));

  // The caption's buttons press the main window's.
  settle();
  cap.voicebegin->trigger();
  EXPECT_EQ(app.speech().buttons().state, VoiceButtons::State::Pause);
  cap.voicestop->trigger();
  EXPECT_FALSE(cmd("voicestop")->isEnabled());
  EXPECT_TRUE(cap.caplab().text().isEmpty());
  cap.readnext->trigger();
  EXPECT_EQ(app.speech().voicezjid(), ids[1]);
  settle();

  // "朗读" takes the chapter list's selected row.
  window->shelf().viewbook(bookId);
  ChapterList &list = window->shelf().chapterList();
  list.setCurrentItem(list.getzjTListItem(ids[0]));
  cmd("N81")->trigger();
  EXPECT_EQ(app.speech().voicezjid(), ids[0]);
  settle();
}

TEST_F(SpeechWindows, CaptionLockVisibilityAndVolume) {
  QAction *lock = cmd("caplock");
  EXPECT_EQ(lock->property("picture").toInt(), 6);
  lock->trigger();
  EXPECT_EQ(lock->property("picture").toInt(), 7);
  EXPECT_EQ(settings.value(Settings::lockcap), QStringLiteral("1"));
  lock->trigger();
  EXPECT_EQ(lock->property("picture").toInt(), 6);
  window->speech().caption().lockcap->trigger();
  EXPECT_EQ(lock->property("picture").toInt(), 7);

  Tcapform &cap = window->speech().caption();
  const bool shown = cap.isVisible();
  cmd("voicecaption")->trigger();
  EXPECT_EQ(cap.isVisible(), !shown);
  EXPECT_EQ(settings.value(Settings::showcaption),
            shown ? QStringLiteral("0") : QStringLiteral("1"));

  QSlider &slider = window->speech().volumeSlider();
  EXPECT_EQ(slider.value(), 100);
  slider.setValue(35);
  EXPECT_EQ(settings.value(Settings::voicevolume), QStringLiteral("35"));
  cmd("RzToolButton10")->trigger();
  EXPECT_TRUE(window->speech().volumePanel().isVisible());
}

} // namespace
