#pragma once
// Parts the program's dialogs share; their look is the program's (programstyle.h), which every
// QDialog gets from the application. Main thread only.
#include <QString>

class QPushButton;
class QWidget;

namespace inkwren {

// A push button named as the system names it ("RzBitBtn1"), never the default button, so
// Enter in a dialog's edit boxes does not press it.
QPushButton *dialogButton(const QString &text, const char *name, QWidget *parent);
// The same, drawn as the dialog's main action (accent colour).
QPushButton *primaryButton(const QString &text, const char *name, QWidget *parent);
// Marks an existing button as the dialog's main action.
void markPrimary(QPushButton *button);

} // namespace inkwren
