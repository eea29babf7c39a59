#pragma once
// Parts the program's dialogs share. Main thread only.
#include <QString>

class QPushButton;
class QWidget;

namespace inkwren {

// A push button named as the system names it ("RzBitBtn1"), never the default button, so
// Enter in a dialog's edit boxes does not press it.
QPushButton *dialogButton(const QString &text, const char *name, QWidget *parent);

} // namespace inkwren
