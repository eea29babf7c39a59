#include "core/ui/artwork.h"

#include <QFont>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <functional>

namespace inkwren::artwork {
namespace {

const QColor kTileTop(0x2b, 0x3a, 0x55);
const QColor kTileBottom(0x11, 0x18, 0x27);
const QColor kDrop(0xf5, 0xa6, 0x23);

// Icon sizes every painted icon carries, so that each logical size at 1×, 1.5× and 2× finds
// a painting of its own.
const QList<int> kIconSizes = {16, 20, 24, 32, 36, 40, 48, 64, 72, 96, 128, 256};

qreal appRatio() {
  return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

// An icon painted at every size of kIconSizes by paint(painter, size).
QIcon paintedIcon(const std::function<void(QPainter &, qreal)> &paint) {
  QIcon icon;
  for (int s : kIconSizes) {
    QPixmap pm(s, s);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paint(p, s);
    p.end();
    icon.addPixmap(pm);
  }
  return icon;
}

// The character of the logo as an outline, fitted into a square of the given size: the same
// shape on screen and in the scalable icon.
QPainterPath logoGlyph(qreal size) {
  QFont f(QStringLiteral("Noto Serif CJK SC"));
  f.setPixelSize(200);
  f.setBold(true);
  QPainterPath glyph;
  glyph.addText(0, 0, f, QStringLiteral("墨"));
  const QRectF box = glyph.boundingRect();
  if (box.isEmpty())
    return glyph;
  // The character fills 58 % of the tile, a little left of and below the middle, clear of
  // the drop in the corner.
  const qreal scale = size * 0.58 / std::max(box.width(), box.height());
  QTransform t;
  t.translate(size * 0.47, size * 0.55);
  t.scale(scale, scale);
  t.translate(-box.center().x(), -box.center().y());
  return t.map(glyph);
}

QString svgPath(const QPainterPath &path) {
  QString d;
  auto num = [](qreal v) { return QString::number(v, 'f', 2); };
  for (int i = 0; i < path.elementCount(); ++i) {
    const QPainterPath::Element e = path.elementAt(i);
    if (e.isMoveTo()) {
      d += QStringLiteral("M%1 %2").arg(num(e.x), num(e.y));
    } else if (e.isLineTo()) {
      d += QStringLiteral("L%1 %2").arg(num(e.x), num(e.y));
    } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
      const auto c2 = path.elementAt(i + 1), end = path.elementAt(i + 2);
      d += QStringLiteral("C%1 %2 %3 %4 %5 %6")
               .arg(num(e.x), num(e.y), num(c2.x), num(c2.y), num(end.x), num(end.y));
      i += 2;
    }
  }
  return d;
}

} // namespace

const QList<int> &iconSizes() {
  return kIconSizes;
}

void paintLogo(QPainter &p, qreal size) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, size, size);
  g.setColorAt(0, kTileTop);
  g.setColorAt(1, kTileBottom);
  QPainterPath tile;
  tile.addRoundedRect(QRectF(0, 0, size, size), size * 0.22, size * 0.22);
  p.fillPath(tile, g);
  // An ink drop with a wren's tail: the product's mark.
  p.setPen(Qt::NoPen);
  p.setBrush(kDrop);
  p.drawEllipse(QRectF(size * 0.72, size * 0.10, size * 0.14, size * 0.14));
  p.fillPath(logoGlyph(size), Qt::white);
  p.restore();
}

QPixmap logo(int size, qreal dpr) {
  if (dpr <= 0)
    dpr = appRatio();
  QPixmap pm(QSize(size, size) * dpr);
  pm.setDevicePixelRatio(dpr);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  paintLogo(p, size);
  return pm;
}

QByteArray logoSvg() {
  const qreal s = 256;
  const QPainterPath glyph = logoGlyph(s);
  const QString svg =
      QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                     "viewBox=\"0 0 256 256\">\n"
                     "<defs><linearGradient id=\"tile\" x1=\"0\" y1=\"0\" x2=\"1\" y2=\"1\">"
                     "<stop offset=\"0\" stop-color=\"%1\"/><stop offset=\"1\" stop-color=\"%2\"/>"
                     "</linearGradient></defs>\n"
                     "<rect width=\"256\" height=\"256\" rx=\"%3\" fill=\"url(#tile)\"/>\n"
                     "<circle cx=\"%4\" cy=\"%5\" r=\"%6\" fill=\"%7\"/>\n"
                     "<path fill=\"#ffffff\" fill-rule=\"%9\" d=\"%8\"/>\n"
                     "</svg>\n")
          .arg(kTileTop.name(), kTileBottom.name(), QString::number(s * 0.22),
               QString::number(s * 0.79), QString::number(s * 0.17), QString::number(s * 0.07),
               kDrop.name(), svgPath(glyph))
          .arg(glyph.fillRule() == Qt::WindingFill ? QStringLiteral("nonzero")
                                                   : QStringLiteral("evenodd"));
  return svg.toUtf8();
}

QIcon programIcon() {
  const QIcon theme = QIcon::fromTheme(QStringLiteral("inkwren"));
  return theme.isNull() ? paintedIcon([](QPainter &p, qreal s) { paintLogo(p, s); }) : theme;
}

QIcon glyph(const QString &text, QColor color, int) {
  return paintedIcon([text, color](QPainter &p, qreal size) {
    QPainterPath tile;
    tile.addRoundedRect(QRectF(size / 32, size / 32, size - size / 16, size - size / 16),
                        size * 0.28, size * 0.28);
    p.fillPath(tile, color);
    QFont f(QStringLiteral("Noto Sans CJK SC"));
    f.setPixelSize(std::max(1, text.size() > 1 ? int(size * 0.36) : int(size * 0.56)));
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, text);
  });
}

QIcon titleIcon(TitleIcon which, QColor color) {
  return paintedIcon([which, color](QPainter &p, qreal size) {
    // Drawn on a 32-unit grid.
    p.scale(size / 32, size / 32);
    QPen pen(color, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    switch (which) {
    case TitleIcon::Feedback:
      p.drawRoundedRect(QRectF(6, 8, 20, 14), 3, 3);
      p.drawLine(QPointF(11, 22), QPointF(9, 27));
      break;
    case TitleIcon::Skin:
      p.drawEllipse(QRectF(7, 7, 18, 18));
      p.setBrush(color);
      p.drawEllipse(QRectF(12, 11, 4, 4));
      p.drawEllipse(QRectF(17, 15, 4, 4));
      break;
    case TitleIcon::Menu:
      for (int y : {10, 16, 22})
        p.drawLine(QPointF(8, y), QPointF(24, y));
      break;
    case TitleIcon::Minimize:
      p.drawLine(QPointF(8, 20), QPointF(24, 20));
      break;
    case TitleIcon::Maximize:
      p.drawRect(QRectF(8, 8, 16, 16));
      break;
    case TitleIcon::Restore:
      p.drawRect(QRectF(7, 11, 13, 13));
      p.drawPolyline(QPolygonF(
          {QPointF(11, 11), QPointF(11, 7), QPointF(25, 7), QPointF(25, 20), QPointF(20, 20)}));
      break;
    case TitleIcon::Close:
      p.drawLine(QPointF(9, 9), QPointF(23, 23));
      p.drawLine(QPointF(23, 9), QPointF(9, 23));
      break;
    }
  });
}

QIcon messageIcon(MessageIcon which) {
  return paintedIcon([which](QPainter &p, qreal size) {
    p.scale(size / 32, size / 32);
    QColor fill;
    switch (which) {
    case MessageIcon::Information:
      fill = QColor(0x3f, 0x7f, 0xbf);
      break;
    case MessageIcon::Warning:
      fill = QColor(0xe0, 0x8e, 0x1b);
      break;
    case MessageIcon::Error:
      fill = QColor(0xc9, 0x53, 0x4f);
      break;
    case MessageIcon::Question:
      fill = QColor(0x4a, 0x9a, 0x8c);
      break;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    if (which == MessageIcon::Warning) {
      QPainterPath tri;
      tri.moveTo(16, 2.5);
      tri.lineTo(30.5, 28.5);
      tri.lineTo(1.5, 28.5);
      tri.closeSubpath();
      QPainterPathStroker round;
      round.setWidth(3);
      round.setJoinStyle(Qt::RoundJoin);
      p.drawPath(tri.united(round.createStroke(tri)));
    } else {
      p.drawEllipse(QRectF(1, 1, 30, 30));
    }
    QPen pen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::white);
    switch (which) {
    case MessageIcon::Information:
      p.drawLine(QPointF(16, 14), QPointF(16, 23));
      p.drawPoint(QPointF(16, 9));
      break;
    case MessageIcon::Warning:
      p.drawLine(QPointF(16, 11), QPointF(16, 19));
      p.drawPoint(QPointF(16, 24));
      break;
    case MessageIcon::Error:
      p.drawLine(QPointF(11, 11), QPointF(21, 21));
      p.drawLine(QPointF(21, 11), QPointF(11, 21));
      break;
    case MessageIcon::Question: {
      p.setBrush(Qt::NoBrush);
      QPainterPath q;
      q.moveTo(11.5, 12.5);
      q.cubicTo(11.5, 6.5, 20.5, 6.5, 20.5, 12);
      q.cubicTo(20.5, 15.5, 16, 16, 16, 19.5);
      p.drawPath(q);
      p.drawPoint(QPointF(16, 24.5));
      break;
    }
    }
  });
}

} // namespace inkwren::artwork
