#pragma once
// The program's one look, for the main window and every dialog of every subsystem: the
// colours, the widget style with its spacing and message pictures, the application style sheet
// (dialog background, edit boxes, buttons, menus with the accent highlight) and the program
// icon on every window. A dialog gets the look by being a QDialog; its main button is marked
// with dialogparts.h's primaryButton. Main thread only.
#include <QColor>
#include <QPalette>
#include <QString>

class QApplication;

namespace inkwren::look {

// The accent of the program: the selected tab's line, menu highlights, main buttons.
inline const QColor kAccent{0xf5, 0xa6, 0x23};
// The pale accent behind selected rows and menu items.
inline const QColor kAccentPale{0xfd, 0xe9, 0xc4};
inline const QColor kInk{0x1f, 0x26, 0x33};
inline const QColor kBand{0x22, 0x2b, 0x3b};

QPalette palette();
QString styleSheet();
// Sets style, palette, style sheet and window icon on the application.
void apply(QApplication &app);

} // namespace inkwren::look
