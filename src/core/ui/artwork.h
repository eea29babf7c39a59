#pragma once
// The built-in pictures of the default look, drawn in code: the logo, the program icon, the
// glyph icons of the toolbars and menus and the pictures of the message windows. Pixmaps are
// painted at the device pixel ratio they are shown at and icons carry a painting for every
// usual size, so nothing is scaled up on a high-density screen. Main thread only (they paint
// on pixmaps).
#include <QColor>
#include <QIcon>
#include <QPixmap>

class QPainter;

namespace inkwren::artwork {

// The logo, size × size logical pixels at the given device pixel ratio (0: the application's).
QPixmap logo(int size, qreal dpr = 0);
// Paints the logo into the square (0, 0, size, size) of a painter.
void paintLogo(QPainter &p, qreal size);
// The logo as a scalable picture (SVG text), the same drawing as paintLogo.
QByteArray logoSvg();
// The program's icon for windows and the tray: the installed theme icon "inkwren" where there
// is one, else the logo at every usual size.
QIcon programIcon();
// The sizes the program icon is made in (and installed in the icon theme at).
const QList<int> &iconSizes();

// A round-cornered tile with one or two characters on it.
QIcon glyph(const QString &text, QColor color, int size = 32);
// The small flat icons of the title-bar buttons.
enum class TitleIcon { Feedback, Skin, Menu, Minimize, Maximize, Restore, Close };
QIcon titleIcon(TitleIcon which, QColor color);
// The pictures of the message and confirmation windows.
enum class MessageIcon { Information, Warning, Error, Question };
QIcon messageIcon(MessageIcon which);

} // namespace inkwren::artwork
