#include "core/ui/artwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace inkwren::artwork {

QPixmap logo(int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, size, size);
  g.setColorAt(0, QColor(0x2b, 0x3a, 0x55));
  g.setColorAt(1, QColor(0x11, 0x18, 0x27));
  QPainterPath tile;
  tile.addRoundedRect(QRectF(0, 0, size, size), size * 0.22, size * 0.22);
  p.fillPath(tile, g);
  // An ink drop with a wren's tail: the product's mark.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xf5, 0xa6, 0x23));
  p.drawEllipse(QRectF(size * 0.64, size * 0.14, size * 0.16, size * 0.16));
  QFont f(QStringLiteral("Noto Serif CJK SC"));
  f.setPixelSize(int(size * 0.62));
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRectF(0, size * 0.04, size, size), Qt::AlignCenter, QStringLiteral("墨"));
  return pm;
}

QIcon glyph(const QString &text, QColor color, int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath tile;
  tile.addRoundedRect(QRectF(1, 1, size - 2, size - 2), size * 0.28, size * 0.28);
  p.fillPath(tile, color);
  QFont f(QStringLiteral("Noto Sans CJK SC"));
  f.setPixelSize(text.size() > 1 ? int(size * 0.36) : int(size * 0.56));
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, text);
  return QIcon(pm);
}

QIcon titleIcon(TitleIcon which, QColor color) {
  const int s = 32;
  QPixmap pm(s, s);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
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
  return QIcon(pm);
}

} // namespace inkwren::artwork
