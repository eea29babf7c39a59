#include "shelf/ui/platform.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

namespace inkwren {
namespace {

const QString kFilter = QStringLiteral("TXT文件(*.txt)");

} // namespace

QString QtFileDialogs::openTextFile(QWidget *parent) {
  return QFileDialog::getOpenFileName(parent, QString(), QString(), kFilter);
}

QString QtFileDialogs::saveTextFile(QWidget *parent, const QString &suggestedName) {
  // The overwrite question is the command's own ("文件已存在，是否覆盖？").
  return QFileDialog::getSaveFileName(parent, QString(), suggestedName, kFilter, nullptr,
                                      QFileDialog::DontConfirmOverwrite);
}

void DesktopUrlOpener::open(const QString &address) {
  QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

} // namespace inkwren
