#pragma once
// The about box "关于墨鹪": logo, product name, the line "小说下载阅读器", the version line and
// the home page link. Main thread only.
#include <QDialog>

class QLabel;

namespace inkwren {

class Settings;

class Taboutform : public QDialog {
  Q_OBJECT
public:
  Taboutform(Settings &settings, const QString &homeAddress, QWidget *parent = nullptr);
  QLabel *version = nullptr;

protected:
  // Sets the version line from the settings on every show.
  void showEvent(QShowEvent *e) override;

private:
  Settings &settings_;
};

} // namespace inkwren
