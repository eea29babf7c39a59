#pragma once
// The built-in pictures of the default look, drawn in code: the logo and the glyph icons of the
// toolbars and menus. Main thread only (they paint on pixmaps).
#include <QColor>
#include <QIcon>
#include <QPixmap>

namespace inkwren::artwork {

QPixmap logo(int size);
// A round-cornered tile with one or two characters on it.
QIcon glyph(const QString &text, QColor color, int size = 32);
// The small flat icons of the title-bar buttons.
enum class TitleIcon { Feedback, Skin, Menu, Minimize, Maximize, Restore, Close };
QIcon titleIcon(TitleIcon which, QColor color);

} // namespace inkwren::artwork
