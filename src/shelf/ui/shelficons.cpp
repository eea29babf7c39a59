#include "shelf/ui/shelficons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>

namespace inkwren {
namespace {

// Drawn on a 16-unit grid at size × size pixels.
QPixmap draw(int index, int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 16.0, size / 16.0);
  switch (index) {
  case RootPicture: // a shelf: two boards with books
    p.setPen(QColor(0x8a, 0x5a, 0x2b));
    p.setBrush(QColor(0xc8, 0x8f, 0x4f));
    p.drawRect(1, 13, 14, 2);
    p.drawRect(1, 6, 14, 2);
    p.setBrush(QColor(0x3d, 0x7e, 0xc7));
    p.drawRect(3, 1, 2, 5);
    p.drawRect(6, 2, 2, 4);
    p.drawRect(4, 9, 3, 4);
    p.drawRect(9, 9, 2, 4);
    break;
  case CategoryPicture: { // a folder
    p.setPen(QColor(0xb0, 0x84, 0x1c));
    p.setBrush(QColor(0xf4, 0xc4, 0x4e));
    QPainterPath path;
    path.moveTo(1, 3);
    path.lineTo(6, 3);
    path.lineTo(7.5, 5);
    path.lineTo(15, 5);
    path.lineTo(15, 14);
    path.lineTo(1, 14);
    path.closeSubpath();
    p.drawPath(path);
    break;
  }
  case BookPicture:
  case UpdatingPicture: // a closed book; green while it is being updated
    p.setPen(QColor(0x33, 0x33, 0x55));
    p.setBrush(index == BookPicture ? QColor(0x4a, 0x78, 0xc2) : QColor(0x3f, 0xa3, 0x4d));
    p.drawRoundedRect(QRectF(3, 1.5, 10, 13), 1.5, 1.5);
    p.setPen(QColor(0xf0, 0xf0, 0xf0));
    p.drawLine(QPointF(5.5, 2.5), QPointF(5.5, 13.5));
    if (index == UpdatingPicture) {
      p.setPen(QPen(Qt::white, 1.6));
      p.drawArc(QRectF(7, 5, 5, 5), 30 * 16, 270 * 16);
    }
    break;
  case UnreadPicture: // a page with a bright dot
  case ReadPicture:   // a grey page with a tick
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.setBrush(index == UnreadPicture ? QColor(0xff, 0xff, 0xff) : QColor(0xe6, 0xe6, 0xe6));
    p.drawRect(QRectF(3, 1.5, 10, 13));
    if (index == UnreadPicture) {
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(0xe5, 0x4b, 0x3c));
      p.drawEllipse(QPointF(8, 8), 3, 3);
    } else {
      p.setPen(QPen(QColor(0x4b, 0x9a, 0x4b), 1.6));
      p.drawPolyline(QPolygonF({QPointF(5, 8), QPointF(7.5, 10.5), QPointF(11, 5)}));
    }
    break;
  }
  return pm;
}

} // namespace

QIcon shelfPicture(int index) {
  static std::array<QIcon, 6> icons;
  if (index < 0 || index >= int(icons.size()))
    return {};
  if (icons[std::size_t(index)].isNull()) {
    // A painting for every pixel ratio the lists may be shown at.
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
      icon.addPixmap(draw(index, size));
    icons[std::size_t(index)] = icon;
  }
  return icons[std::size_t(index)];
}

} // namespace inkwren
