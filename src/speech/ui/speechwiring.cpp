#include "speech/ui/speechwiring.h"

#include "core/messages.h"
#include "core/settings.h"
#include "core/ui/artwork.h"
#include "core/ui/filedialogs.h"
#include "core/ui/shellhost.h"
#include "shelf/ui/booktree.h"
#include "shelf/ui/chapterlist.h"
#include "shelf/ui/shelfwiring.h"
#include "speech/ui/mpris.h"
#include "speech/ui/tcapform.h"

#include <QAction>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace inkwren {

namespace {

QAction *command(QWidget *owner, const char *name, const QIcon &icon, const QString &hint) {
  auto *a = new QAction(icon, hint, owner);
  a->setObjectName(QLatin1String(name));
  a->setToolTip(hint);
  a->setProperty("hint", hint);
  return a;
}

} // namespace

SpeechWiring::SpeechWiring(ShellHost &shell, ShelfWiring &shelf, Settings &settings,
                           Messages &messages, SpeechController &voice)
    : shell_(shell), shelf_(shelf), settings_(settings), messages_(messages), voice_(voice) {
  caption_ = std::make_unique<Tcapform>(settings_);
  nowreadxx_ = shell_.installReadAloudControls(buildBar());

  const std::pair<const char *, QAction *> named[] = {
      {"voicebegin", voicebegin},     {"voicestop", voicestop}, {"readlast", readlast},
      {"readnext", readnext},         {"readlocal", readlocal}, {"RzToolButton10", RzToolButton10},
      {"voicecaption", voicecaption}, {"caplock", caplock}};
  for (const auto &[name, action] : named)
    shell_.addCommand(QLatin1String(name), action);

  ShellHost::wire(voicebegin, [this] { voice_.voicebegin(); });
  ShellHost::wire(voicestop, [this] { voice_.voicestop(); });
  ShellHost::wire(readlast, [this] { voice_.readlast(); });
  ShellHost::wire(readnext, [this] { voice_.readnext(); });
  ShellHost::wire(readlocal, [this] { readlocalClick(); });
  ShellHost::wire(RzToolButton10, [this] { RzToolButton10Click(); });
  ShellHost::wire(voicecaption, [this] { voicecaptionClick(); });
  ShellHost::wire(caplock, [this] { caplockClick(); });
  if (QAction *menu = shell_.command(QStringLiteral("N20")))
    menu->setEnabled(true);
  shell_.wire(QStringLiteral("N21"), [this] { readBook(QStringLiteral("first")); });
  shell_.wire(QStringLiteral("N22"), [this] { readBook(QStringLiteral("noread")); });
  shell_.wire(QStringLiteral("RzToolButton12"), [this] { readSelectedChapter(); });
  shell_.wire(QStringLiteral("N81"), [this] { readSelectedChapter(); });

  // The caption's buttons press the main window's.
  const std::pair<QAction *, QAction *> copies[] = {
      {caption_->voicebegin, voicebegin}, {caption_->voicestop, voicestop},
      {caption_->readlast, readlast},     {caption_->readnext, readnext},
      {caption_->readlocal, readlocal},   {caption_->voicecaption, voicecaption}};
  for (const auto &[copy, main] : copies)
    connect(copy, &QAction::triggered, main, &QAction::trigger);
  connect(caption_.get(), &Tcapform::lockChanged, this, &SpeechWiring::showLockPicture);

  connect(&voice_, &SpeechController::buttonsChanged, this, &SpeechWiring::applyButtons);
  connect(&voice_, &SpeechController::nowReadingChanged, nowreadxx_, &QLabel::setText);
  connect(&voice_, &SpeechController::captionTextChanged, caption_.get(), &Tcapform::setMemoText);
  connect(&voice_, &SpeechController::spokenWord, caption_.get(),
          [this](int position, int) { caption_->showWord(position); });
  connect(&voice_, &SpeechController::captionCleared, caption_.get(), &Tcapform::clearCaption);
  connect(&settings_, &Settings::changed, this, [this](int index) {
    if (index == Settings::lockcap)
      showLockPicture();
    else if (index == Settings::voicevolume)
      showVolumeSetting();
  });
  applyButtons(voice_.buttons());
  showLockPicture();
  showVolumeSetting();
}

SpeechWiring::~SpeechWiring() = default;

QWidget *SpeechWiring::buildBar() {
  auto *bar = new QWidget;
  bar->setObjectName(QStringLiteral("voicebar"));
  QStyle *st = bar->style();
  voicebegin = command(bar, "voicebegin", st->standardIcon(QStyle::SP_MediaPlay),
                       QStringLiteral("开始/暂停 朗读"));
  voicestop =
      command(bar, "voicestop", st->standardIcon(QStyle::SP_MediaStop), QStringLiteral("停止朗读"));
  readlast = command(bar, "readlast", st->standardIcon(QStyle::SP_MediaSkipBackward),
                     QStringLiteral("朗读上一章"));
  readnext = command(bar, "readnext", st->standardIcon(QStyle::SP_MediaSkipForward),
                     QStringLiteral("朗读下一章"));
  readlocal =
      command(bar, "readlocal", artwork::glyph(QStringLiteral("文"), QColor(0x2f, 0x6f, 0xc0), 16),
              QStringLiteral("朗读本地文件"));
  RzToolButton10 =
      command(bar, "RzToolButton10", st->standardIcon(QStyle::SP_MediaVolume), QString());
  voicecaption = command(bar, "voicecaption",
                         artwork::glyph(QStringLiteral("字"), QColor(0xc0, 0x2f, 0x2f), 16),
                         QStringLiteral("显示/隐藏 朗读字幕"));
  caplock = command(bar, "caplock", QIcon(), QStringLiteral("锁定/解锁 朗读字幕"));

  auto *row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  for (QAction *a : {voicebegin, voicestop, readlast, readnext, readlocal, RzToolButton10,
                     voicecaption, caplock}) {
    auto *b = new QToolButton(bar);
    b->setDefaultAction(a);
    b->setAutoRaise(true);
    b->setIconSize(QSize(16, 16));
    row->addWidget(b);
    if (a == RzToolButton10)
      b->setObjectName(QStringLiteral("RzToolButton10"));
  }

  RzPanel5_ = new QFrame(bar, Qt::Popup);
  RzPanel5_->setObjectName(QStringLiteral("RzPanel5"));
  RzPanel5_->setFrameShape(QFrame::StyledPanel);
  auto *column = new QVBoxLayout(RzPanel5_);
  column->setContentsMargins(4, 6, 4, 6);
  slider_ = new QSlider(Qt::Vertical, RzPanel5_);
  slider_->setObjectName(QStringLiteral("voicevolume"));
  slider_->setRange(0, 100);
  slider_->setFixedHeight(110);
  column->addWidget(slider_);
  // Every change of the slider is stored at once; the engine takes it with the next chapter.
  connect(slider_, &QSlider::valueChanged, this, [this](int value) {
    if (!showingVolume_)
      settings_.store(Settings::voicevolume, QString::number(value));
  });
  return bar;
}

void SpeechWiring::applyButtons(const VoiceButtons &b) {
  voicebegin->setIcon(caption_->style()->standardIcon(
      b.mainPicture == VoiceButtons::kMainPause ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
  voicebegin->setProperty("picture", b.mainPicture);
  voicebegin->setEnabled(b.beginEnabled);
  voicestop->setEnabled(b.stopEnabled);
  readlast->setEnabled(b.stepEnabled);
  readnext->setEnabled(b.stepEnabled);
  caption_->applyButtons(b);
}

void SpeechWiring::showLockPicture() {
  const bool locked = settings_.value(Settings::lockcap) != QLatin1String("0");
  caplock->setProperty("picture", locked ? 7 : 6);
  caplock->setIcon(artwork::glyph(locked ? QStringLiteral("锁") : QStringLiteral("开"),
                                  locked ? QColor(0xc0, 0x69, 0x2f) : QColor(0x8a, 0x93, 0xa3),
                                  16));
}

void SpeechWiring::showVolumeSetting() {
  bool ok = false;
  const int volume = settings_.value(Settings::voicevolume).trimmed().toInt(&ok);
  if (!ok)
    return;
  showingVolume_ = true;
  slider_->setValue(volume);
  showingVolume_ = false;
}

void SpeechWiring::readSelectedChapter() {
  QTreeWidgetItem *row = shelf_.chapterList().selectedRow();
  if (!row) {
    messages_.tsxx(QStringLiteral("当前没有选中任何章节!"));
    return;
  }
  voice_.voicebook(shelf_.currentBook().id(), ChapterList::chapterId(row),
                   shelf_.currentBook().name(), row->text(ChapterList::NameColumn));
}

void SpeechWiring::readBook(const QString &where) {
  const ShelfNode node = shelf_.tree().selectedNode();
  if (node.kind != ShelfNode::Book)
    return;
  const TPItem *book = shelf_.bookshelf().getbn(node.id);
  voice_.voicebookx(node.id, book ? book->name : QString(), where);
}

void SpeechWiring::readlocalClick() {
  const QString path = shell_.fileDialogs().openTextFile(shell_.window());
  if (!path.isEmpty())
    voice_.voiceloc(path);
}

void SpeechWiring::voicecaptionClick() {
  caption_->setVisible(!caption_->isVisible());
  settings_.store(Settings::showcaption,
                  caption_->isVisible() ? QStringLiteral("1") : QStringLiteral("0"));
}

void SpeechWiring::caplockClick() {
  settings_.store(Settings::lockcap, settings_.value(Settings::lockcap) != QLatin1String("0")
                                         ? QStringLiteral("0")
                                         : QStringLiteral("1"));
  showLockPicture();
}

void SpeechWiring::RzToolButton10Click() {
  if (RzPanel5_->isVisible()) {
    RzPanel5_->hide();
    return;
  }
  RzPanel5_->adjustSize();
  QWidget *bar = slider_->parentWidget()->parentWidget();
  const QPoint at = bar->mapToGlobal(QPoint(0, 0));
  RzPanel5_->move(at.x(), at.y() - RzPanel5_->height());
  RzPanel5_->show();
}

bool SpeechWiring::publishOnSessionBus() {
  // Only a bus that is there already: asking for one would start a bus daemon of its own.
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") &&
      (runtime.isEmpty() || !QFileInfo::exists(runtime + QStringLiteral("/bus"))))
    return false;
  if (!mpris_)
    mpris_ = std::make_unique<MprisPlayer>(
        voice_, MprisPlayer::Commands{voicebegin, voicestop, readlast, readnext, [this] {
                                        QWidget *w = shell_.window();
                                        w->showNormal();
                                        w->raise();
                                        w->activateWindow();
                                      }});
  return mpris_->publish();
}

} // namespace inkwren
