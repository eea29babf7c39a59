#pragma once
// The platform pieces the shelf commands use, behind small interfaces so that tests can fake
// them: the open and save dialogs for text files, and opening an address with the system's
// handler. Main thread only.
#include <QString>

class QWidget;

namespace inkwren {

class FileDialogs {
public:
  virtual ~FileDialogs() = default;
  // The chosen file, or empty when cancelled. Both filter "TXT文件(*.txt)".
  virtual QString openTextFile(QWidget *parent) = 0;
  virtual QString saveTextFile(QWidget *parent, const QString &suggestedName) = 0;
};

class UrlOpener {
public:
  virtual ~UrlOpener() = default;
  virtual void open(const QString &address) = 0;
};

// The real ones: Qt's file dialogs and the desktop's address handler.
class QtFileDialogs : public FileDialogs {
public:
  QString openTextFile(QWidget *parent) override;
  QString saveTextFile(QWidget *parent, const QString &suggestedName) override;
};

class DesktopUrlOpener : public UrlOpener {
public:
  void open(const QString &address) override;
};

} // namespace inkwren
