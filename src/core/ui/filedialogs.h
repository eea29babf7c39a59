#pragma once
// The open and save dialogs of the whole program. Every file the user picks is picked through
// FileDialogs, so tests fake it and the choice of dialog is made in one place: the desktop's
// own dialog where the platform theme or the desktop portal offers one, else Qt's dialog, whose
// texts come from the Qt translations the program installs (Chinese unless the user's locale
// asks for another Chinese variant). Main thread only.
#include <QString>

class QFileDialog;
class QWidget;

namespace inkwren {

class FileDialogs {
public:
  virtual ~FileDialogs() = default;
  // The chosen file, or empty when cancelled. filter is a Qt name filter ("TXT文件(*.txt)").
  virtual QString openFile(QWidget *parent, const QString &caption, const QString &filter) = 0;
  // suggestedName may hold a folder too. The caller asks about overwriting itself.
  virtual QString saveFile(QWidget *parent, const QString &caption, const QString &suggestedName,
                           const QString &filter) = 0;

  // The text-file dialogs of the shelf ("TXT文件(*.txt)").
  QString openTextFile(QWidget *parent);
  QString saveTextFile(QWidget *parent, const QString &suggestedName);
  static QString textFilter();
};

// The real dialogs.
class SystemFileDialogs : public FileDialogs {
public:
  QString openFile(QWidget *parent, const QString &caption, const QString &filter) override;
  QString saveFile(QWidget *parent, const QString &caption, const QString &suggestedName,
                   const QString &filter) override;

  // The dialog as openFile (save false) or saveFile (save true) shows it, not yet shown; the
  // caller owns it. Qt's own dialog is used when the platform has none of its own, sized so
  // that its columns show.
  static QFileDialog *make(QWidget *parent, bool save, const QString &caption, const QString &name,
                           const QString &filter);
};

} // namespace inkwren
