#include "shell/ui/aboutform.h"

#include "core/settings.h"
#include "core/ui/artwork.h"
#include "core/ui/dialogparts.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace inkwren {

Taboutform::Taboutform(Settings &settings, const QString &homeAddress, QWidget *parent)
    : QDialog(parent), settings_(settings) {
  setWindowTitle(QStringLiteral("关于墨鹪"));
  setModal(true);
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(32, 24, 32, 20);
  layout->setSpacing(6);
  auto *logo = new QLabel(this);
  logo->setPixmap(artwork::logo(128, devicePixelRatioF()));
  logo->setAlignment(Qt::AlignCenter);
  auto *name = new QLabel(QStringLiteral("墨鹪"), this);
  QFont f = name->font();
  f.setPixelSize(24);
  f.setBold(true);
  name->setFont(f);
  name->setAlignment(Qt::AlignCenter);
  auto *line = new QLabel(QStringLiteral("小说下载阅读器"), this);
  line->setAlignment(Qt::AlignCenter);
  version = new QLabel(this);
  version->setAlignment(Qt::AlignCenter);
  auto *home = new QLabel(this);
  home->setText(QStringLiteral("主页：<a href=\"%1\">%1</a>").arg(homeAddress.toHtmlEscaped()));
  home->setTextFormat(Qt::RichText);
  home->setOpenExternalLinks(true);
  home->setAlignment(Qt::AlignCenter);
  auto *notice = new QLabel(QStringLiteral("\n\n\n"), this);
  notice->setAlignment(Qt::AlignCenter);
  auto *ok = new QPushButton(QStringLiteral("确认"), this);
  markPrimary(ok);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  for (QWidget *w : {static_cast<QWidget *>(logo), static_cast<QWidget *>(name),
                     static_cast<QWidget *>(line), static_cast<QWidget *>(version),
                     static_cast<QWidget *>(home), static_cast<QWidget *>(notice)})
    layout->addWidget(w);
  layout->addWidget(ok, 0, Qt::AlignCenter);
}

void Taboutform::showEvent(QShowEvent *e) {
  version->setText(QStringLiteral("版本：V") + settings_.value(Settings::versionid));
  QDialog::showEvent(e);
}

} // namespace inkwren
