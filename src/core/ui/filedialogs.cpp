#include "core/ui/filedialogs.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>

namespace inkwren {

QString FileDialogs::textFilter() {
  return QStringLiteral("TXT文件(*.txt)");
}

QString FileDialogs::openTextFile(QWidget *parent) {
  return openFile(parent, QStringLiteral("导入文本文件"), textFilter());
}

QString FileDialogs::saveTextFile(QWidget *parent, const QString &suggestedName) {
  return saveFile(parent, QStringLiteral("保存文本文件"), suggestedName, textFilter());
}

QFileDialog *SystemFileDialogs::make(QWidget *parent, bool save, const QString &caption,
                                     const QString &name, const QString &filter) {
  auto *d = new QFileDialog(parent, caption, QString(), filter);
  d->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  d->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // The overwrite question is the commands' own ("文件已存在，是否覆盖？").
  d->setOption(QFileDialog::DontConfirmOverwrite, save);
  if (!name.isEmpty())
    d->selectFile(name);
  // Qt's own dialog (there is no desktop dialog) opens large enough for its columns; a
  // desktop dialog ignores these.
  d->resize(780, 500);
  if (auto *details = d->findChild<QTreeView *>()) {
    details->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    details->header()->setMinimumSectionSize(80);
    details->header()->resizeSection(3, 150); // the date
  }
  return d;
}

namespace {

QString run(QFileDialog *d) {
  QString chosen;
  if (d->exec() == QDialog::Accepted && !d->selectedFiles().isEmpty())
    chosen = d->selectedFiles().constFirst();
  delete d;
  return chosen;
}

} // namespace

QString SystemFileDialogs::openFile(QWidget *parent, const QString &caption,
                                    const QString &filter) {
  return run(make(parent, false, caption, QString(), filter));
}

QString SystemFileDialogs::saveFile(QWidget *parent, const QString &caption,
                                    const QString &suggestedName, const QString &filter) {
  return run(make(parent, true, caption, suggestedName, filter));
}

} // namespace inkwren
