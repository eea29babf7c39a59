#include "speech/ui/captionlabel.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace inkwren {

CaptionLabel::CaptionLabel(QWidget *parent) : QWidget(parent) {
  setAttribute(Qt::WA_TranslucentBackground);
  setMouseTracking(true);
}

void CaptionLabel::setLook(const Look &look) {
  look_ = look;
  updateGeometry();
  update();
}

void CaptionLabel::setText(const QString &text) {
  if (text == text_)
    return;
  text_ = text;
  update();
}

void CaptionLabel::setOpacity(int opacity) {
  opacity_ = std::clamp(opacity, 0, 100);
  update();
}

void CaptionLabel::setBackgroundShown(bool shown) {
  backShown_ = shown;
  update();
}

QSize CaptionLabel::sizeHint() const {
  const QFontMetrics fm(look_.font);
  return {fm.horizontalAdvance(text_), fm.height() + 4 + (look_.shadow ? kShadowOffset : 0)};
}

QBrush CaptionLabel::fill(const Look &look, const QRectF &r) {
  if (!look.shade)
    return look.color;
  const QColor a = look.color, b = look.shadeColor;
  QLinearGradient g;
  switch (look.shadeType) {
  case CaptionLabel::RightToLeft:
    g = QLinearGradient(r.topRight(), r.topLeft());
    break;
  case CaptionLabel::TopToBottom:
    g = QLinearGradient(r.topLeft(), r.bottomLeft());
    break;
  case CaptionLabel::BottomToTop:
    g = QLinearGradient(r.bottomLeft(), r.topLeft());
    break;
  case CaptionLabel::MiddleToSides:
    g = QLinearGradient(r.topLeft(), r.topRight());
    break;
  case CaptionLabel::MiddleToEnds:
    g = QLinearGradient(r.topLeft(), r.bottomLeft());
    break;
  default:
    g = QLinearGradient(r.topLeft(), r.topRight());
    break;
  }
  if (look.shadeType == CaptionLabel::MiddleToSides ||
      look.shadeType == CaptionLabel::MiddleToEnds) {
    g.setColorAt(0, b);
    g.setColorAt(0.5, a);
    g.setColorAt(1, b);
  } else {
    g.setColorAt(0, a);
    g.setColorAt(1, b);
  }
  return g;
}

void CaptionLabel::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  if (look_.back && backShown_)
    p.fillRect(rect(), look_.backColor);
  else
    p.fillRect(rect(), QColor(0, 0, 0, 1)); // see-through, yet it still takes the pointer
  if (opacity_ == 0 || text_.isEmpty())
    return;
  p.setOpacity(opacity_ / 100.0);
  const QFontMetrics fm(look_.font);
  const qreal x = (width() - fm.horizontalAdvance(text_)) / 2.0;
  const qreal y = (height() - fm.height()) / 2.0 + fm.ascent();
  QPainterPath path;
  path.addText(QPointF(x, y), look_.font, text_);
  if (look_.shadow)
    p.fillPath(path.translated(kShadowOffset, kShadowOffset), look_.shadowColor);
  p.fillPath(path, fill(look_, path.boundingRect()));
}

} // namespace inkwren
