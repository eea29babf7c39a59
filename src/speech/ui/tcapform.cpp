#include "speech/ui/tcapform.h"

#include "core/settings.h"
#include "core/ui/artwork.h"

#include <QAction>
#include <QCursor>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <QWindow>

#include <algorithm>

namespace inkwren {

namespace {

constexpr int kToolbarWidth = 190, kToolbarButtonsHeight = 23;
constexpr int kMemoFontPixels = 13, kMemoMargins = 6;

// The toolbar's background bgim: white at the top to sky blue at the bottom.
class ToolbarBackground : public QWidget {
public:
  using QWidget::QWidget;

protected:
  void paintEvent(QPaintEvent *) override {
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, QColor(0x87, 0xce, 0xeb));
    p.fillRect(rect(), g);
  }
};

QColor colorOf(const QString &text) {
  const Rgb c = Settings::HtmlToColor(text);
  return QColor(c.red, c.green, c.blue);
}

std::optional<int> wholeNumber(const QString &text) {
  bool ok = false;
  const int v = text.trimmed().toInt(&ok);
  return ok ? std::optional<int>(v) : std::nullopt;
}

} // namespace

Tcapform::Tcapform(Settings &settings, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      settings_(settings) {
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_QuitOnClose, false); // the program ends with its main window
  setWindowTitle(QString());
  setMinimumWidth(kMinWidth);
  capbp_ = new QWidget(this);
  capbp_->setObjectName(QStringLiteral("capbp"));
  caplab_ = new CaptionLabel(capbp_);
  caplab_->setObjectName(QStringLiteral("caplab"));
  caplab_->installEventFilter(this);
  capb_ = new QWidget(this);
  capb_->setObjectName(QStringLiteral("capb"));
  bgim_ = new ToolbarBackground(capb_);
  bgim_->setObjectName(QStringLiteral("bgim"));
  bgim_->installEventFilter(this);
  buildToolbar();
  capb_->hide();

  cursorPos = [] { return QCursor::pos(); };
  screenRect = [this] {
    QScreen *s = screen();
    return s ? s->geometry() : QRect(0, 0, 1024, 768);
  };
  captm_.setInterval(200);
  connect(&captm_, &QTimer::timeout, this, &Tcapform::captmTimer);
  // Settings applied from elsewhere (the settings file read at start, the options dialog) take
  // effect here too; the rows this window and the caption buttons write are already in effect.
  apply_.setSingleShot(true);
  apply_.setInterval(0);
  connect(&apply_, &QTimer::timeout, this, &Tcapform::setcaption);
  connect(&settings_, &Settings::changed, this, [this](int index) {
    if (!storing_ && !settings_.live() && index >= Settings::showcaption &&
        index <= Settings::shadetype)
      apply_.start();
  });
  resize(kMinWidth, 40);
  setcaption();
}

Tcapform::~Tcapform() = default;

void Tcapform::buildToolbar() {
  captb_ = new QToolBar(capb_);
  captb_->setObjectName(QStringLiteral("captb"));
  captb_->setFixedSize(kToolbarWidth, kToolbarButtonsHeight);
  captb_->setIconSize(QSize(16, 16));
  captb_->setStyleSheet(QStringLiteral("QToolBar { background: transparent; border: 0; }"));
  QStyle *st = style();
  auto add = [this](const QIcon &icon, const char *name, const QString &hint) {
    QAction *a = captb_->addAction(icon, hint);
    a->setObjectName(QLatin1String(name));
    a->setToolTip(hint);
    return a;
  };
  voicebegin =
      add(st->standardIcon(QStyle::SP_MediaPlay), "voicebegin", QStringLiteral("开始/暂停"));
  voicestop = add(st->standardIcon(QStyle::SP_MediaStop), "voicestop", QStringLiteral("停止"));
  readlast =
      add(st->standardIcon(QStyle::SP_MediaSkipBackward), "readlast", QStringLiteral("上一章"));
  readnext =
      add(st->standardIcon(QStyle::SP_MediaSkipForward), "readnext", QStringLiteral("下一章"));
  readlocal = add(artwork::glyph(QStringLiteral("文"), QColor(0x2f, 0x6f, 0xc0), 16), "readlocal",
                  QStringLiteral("朗读本地文件"));
  voicecaption = add(st->standardIcon(QStyle::SP_DialogCloseButton), "voicecaption",
                     QStringLiteral("关闭字幕"));
  lockcap = add(artwork::glyph(QStringLiteral("锁"), QColor(0xc0, 0x69, 0x2f), 16), "lockcap",
                QStringLiteral("锁定朗读字幕，可在配置中解除锁定"));
  connect(lockcap, &QAction::triggered, this, &Tcapform::lockcapClick);
  applyButtons(VoiceButtons{});
}

void Tcapform::applyButtons(const VoiceButtons &b) {
  QStyle *st = style();
  voicebegin->setIcon(st->standardIcon(b.captionPicture == VoiceButtons::kCaptionPause
                                           ? QStyle::SP_MediaPause
                                           : QStyle::SP_MediaPlay));
  voicebegin->setEnabled(b.beginEnabled);
  voicestop->setEnabled(b.stopEnabled);
  readlast->setEnabled(b.stepEnabled);
  readnext->setEnabled(b.stepEnabled);
}

void Tcapform::storeRow(int index, const QString &value) {
  if (settings_.value(index) == value)
    return;
  storing_ = true;
  settings_.store(index, value);
  storing_ = false;
}

void Tcapform::setcaption() {
  const bool wasLive = settings_.live();
  settings_.setLive(false);
  if (const auto w = wholeNumber(settings_.value(Settings::captionwidth)))
    resize(std::max(*w, kMinWidth), height());

  CaptionLabel::Look look = caplab_->look();
  look.font.setFamily(settings_.value(Settings::captionfont));
  if (const auto size = wholeNumber(settings_.value(Settings::captionsize)); size && *size > 0)
    look.font.setPointSize(*size);
  look.font.setBold(settings_.on(Settings::captionbold));
  look.color = colorOf(settings_.value(Settings::captioncolor));
  look.back = settings_.on(Settings::captionback);
  look.backColor = colorOf(settings_.value(Settings::backcolor));
  look.shadow = settings_.on(Settings::showshadow);
  look.shadowColor = colorOf(settings_.value(Settings::shadowcolor));
  look.shade = settings_.on(Settings::showshade);
  look.shadeColor = colorOf(settings_.value(Settings::shadecolor));
  if (const auto type = wholeNumber(settings_.value(Settings::shadetype));
      type && *type >= 0 && *type <= 5)
    look.shadeType = *type;
  caplab_->setLook(look);
  relayout();
  changecaplen();

  QPoint at = pos();
  if (const auto left = wholeNumber(settings_.value(Settings::captionleft)))
    at.setX(*left);
  if (const auto top = wholeNumber(settings_.value(Settings::captiontop)))
    at.setY(*top - capbp_->y());
  move(at);
  setVisible(settings_.on(Settings::showcaption));
  settings_.setLive(wasLive);
}

void Tcapform::relayout() {
  const int w = width();
  const int h = caplab_->sizeHint().height();
  const bool bar = toolbarShown();
  const int captionTop = bar && !toolbarUnder_ ? kToolbarHeight : 0;
  capbp_->setGeometry(0, captionTop, w, h);
  caplab_->setGeometry(0, 0, w, h);
  capb_->setGeometry(0, toolbarUnder_ ? h : 0, w, kToolbarHeight);
  bgim_->setGeometry(0, 0, w, kToolbarHeight);
  captb_->move((w - kToolbarWidth) / 2, 2);
  captb_->raise();
  const int height = h + (bar ? kToolbarHeight : 0);
  if (this->height() != height)
    resize(w, height);
}

bool Tcapform::toolbarShown() const {
  return !capb_->isHidden();
}

void Tcapform::setToolbarShown(bool shown) {
  if (shown == toolbarShown())
    return;
  capb_->setVisible(shown);
  // Over the caption, the window grows upwards so that the caption stays where it is.
  if (!toolbarUnder_)
    move(x(), y() + (shown ? -kToolbarHeight : kToolbarHeight));
  relayout();
}

void Tcapform::resizeEvent(QResizeEvent *) {
  if (width() < kMinWidth) {
    resize(kMinWidth, height());
    return;
  }
  relayout();
  if (caplab_->width() != memoWidthFor_) {
    memoWidthFor_ = caplab_->width();
    changecaplen();
  }
  if (settings_.live() && isVisible())
    storeRow(Settings::captionwidth, QString::number(width()));
}

void Tcapform::changecaplen() {
  const CaptionLabel::Look &look = caplab_->look();
  const QFontMetrics fm(look.font);
  const int extra = look.shadow ? CaptionLabel::kShadowOffset : 0;
  const QString glyph = QStringLiteral("鹪");
  const int captionWidth = caplab_->width();
  int a = 0;
  if (fm.horizontalAdvance(glyph) > 0) {
    QString probe = glyph;
    while (fm.horizontalAdvance(probe) + extra < captionWidth) {
      probe += glyph;
      ++a;
    }
  }
  memoWidth_ = a * kMemoFontPixels + kMemoMargins;
  wrapMemo();
}

void Tcapform::setMemoText(const QString &text) {
  memo_ = text;
  wrapMemo();
}

void Tcapform::wrapMemo() {
  lines_.clear();
  QFont font(QStringLiteral("宋体"));
  font.setPixelSize(kMemoFontPixels);
  QTextOption option;
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  const qreal width = std::max(0, memoWidth_ - kMemoMargins);
  int start = 0;
  while (start <= memo_.size()) {
    int end = int(memo_.indexOf(QLatin1Char('\n'), start));
    const bool last = end < 0;
    if (last)
      end = int(memo_.size());
    int textEnd = end;
    if (textEnd > start && memo_[textEnd - 1] == QLatin1Char('\r'))
      --textEnd;
    if (textEnd == start) {
      if (!last)
        lines_.push_back({start, start});
    } else {
      QTextLayout layout(memo_.mid(start, textEnd - start), font);
      layout.setTextOption(option);
      layout.beginLayout();
      for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (line.textLength() == 0)
          break;
        lines_.push_back({start + line.textStart(), start + line.textStart() + line.textLength()});
      }
      layout.endLayout();
    }
    if (last)
      break;
    start = end + 1;
  }
}

QStringList Tcapform::memoLines() const {
  QStringList out;
  for (const Line &l : lines_)
    out << memo_.mid(l.start, l.end - l.start);
  return out;
}

QString Tcapform::memoLineAt(int position) const {
  auto it = std::upper_bound(lines_.begin(), lines_.end(), position,
                             [](int p, const Line &l) { return p < l.start; });
  if (it == lines_.begin())
    return {};
  const Line &l = *(it - 1);
  return memo_.mid(l.start, l.end - l.start).trimmed();
}

void Tcapform::showWord(int position) {
  if (isVisible())
    caplab_->setText(memoLineAt(position));
}

void Tcapform::clearCaption() {
  caplab_->setText(QString());
}

void Tcapform::hover() {
  caplab_->setOpacity(0);
  caplab_->setBackgroundShown(false);
  if (settings_.value(Settings::lockcap) == QLatin1String("0"))
    setToolbarShown(true);
  captick_ = 0;
  captm_.start();
}

void Tcapform::captmTimer() {
  if (++captick_ <= 4)
    return;
  if (frameGeometry().adjusted(0, 0, 1, 1).contains(cursorPos()))
    return;
  captm_.stop();
  caplab_->setOpacity(100);
  caplab_->setBackgroundShown(true);
  setToolbarShown(false);
}

void Tcapform::bgimPress(const QPoint &global) {
  dragOffset_ = global - pos();
  capdrag_ = true;
}

void Tcapform::bgimMove(const QPoint &global) {
  if (!capdrag_)
    return;
  const QRect screen = screenRect();
  const QRect panel = capbp_->geometry();
  QPoint at = global - dragOffset_;
  if (at.x() + panel.x() < screen.left())
    at.setX(screen.left() - panel.x());
  if (at.x() + panel.x() + panel.width() > screen.left() + screen.width())
    at.setX(screen.left() + screen.width() - panel.width() - panel.x());
  if (at.y() + panel.y() < screen.top())
    at.setY(screen.top() - panel.y());
  if (at.y() + panel.y() + panel.height() > screen.top() + screen.height())
    at.setY(screen.top() + screen.height() - panel.height() - panel.y());
  move(at);
  const int barTop = at.y() + capb_->y();
  const bool under = toolbarUnder_;
  if (barTop <= screen.top())
    toolbarUnder_ = true;
  else if (barTop + kToolbarHeight >= screen.top() + screen.height())
    toolbarUnder_ = false;
  if (under == toolbarUnder_)
    return;
  // The caption keeps its place on the screen when the toolbar changes sides, so that it never
  // ends up past the edge it was just kept inside.
  const int captionTop = at.y() + panel.y();
  relayout();
  move(at.x(), captionTop - capbp_->y());
  dragOffset_.ry() += capbp_->y() - panel.y();
}

void Tcapform::bgimRelease() {
  if (!capdrag_)
    return;
  capdrag_ = false;
  const QPoint panel = pos() + capbp_->pos();
  storeRow(Settings::captionleft, QString::number(panel.x()));
  storeRow(Settings::captiontop, QString::number(panel.y()));
}

void Tcapform::lockcapClick() {
  setToolbarShown(false);
  storeRow(Settings::lockcap, QStringLiteral("1"));
  emit lockChanged();
}

bool Tcapform::eventFilter(QObject *watched, QEvent *event) {
  if (watched == bgim_) {
    auto *m = static_cast<QMouseEvent *>(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
      if (m->button() == Qt::LeftButton)
        bgimPress(m->globalPosition().toPoint());
      return true;
    case QEvent::MouseMove:
      bgimMove(m->globalPosition().toPoint());
      return true;
    case QEvent::MouseButtonRelease:
      if (m->button() == Qt::LeftButton)
        bgimRelease();
      return true;
    default:
      return false;
    }
  }
  if (watched == caplab_) {
    auto *m = static_cast<QMouseEvent *>(event);
    const auto edgeAt = [this](int x) -> Qt::Edges {
      if (x <= kEdge)
        return Qt::LeftEdge;
      if (x >= caplab_->width() - kEdge)
        return Qt::RightEdge;
      return {};
    };
    switch (event->type()) {
    case QEvent::MouseMove:
      caplab_->setCursor(edgeAt(int(m->position().x())) ? Qt::SizeHorCursor : Qt::ArrowCursor);
      hover();
      return false;
    case QEvent::MouseButtonPress:
      if (m->button() != Qt::LeftButton || !windowHandle())
        return false;
      // The sizing strips resize, the rest of the caption moves the window (not stored).
      if (const Qt::Edges edge = edgeAt(int(m->position().x())))
        windowHandle()->startSystemResize(edge);
      else
        windowHandle()->startSystemMove();
      return true;
    default:
      return false;
    }
  }
  return QWidget::eventFilter(watched, event);
}

} // namespace inkwren
