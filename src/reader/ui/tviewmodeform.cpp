#include "reader/ui/tviewmodeform.h"

#include "core/codec.h"
#include "core/datafolder.h"
#include "reader/readingpage.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace inkwren {
namespace {

QComboBox *fontList(QWidget *parent) {
  auto *box = new QComboBox(parent);
  box->setEditable(true);
  box->addItems(QFontDatabase::families());
  return box;
}

QSpinBox *spin(int max, QWidget *parent) {
  auto *box = new QSpinBox(parent);
  box->setRange(0, max);
  return box;
}

int number(const QString &text) {
  return int(std::lround(text.trimmed().toDouble()));
}

QWidget *withUnit(QSpinBox *box, const QString &unit) {
  auto *w = new QWidget;
  auto *row = new QHBoxLayout(w);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(box, 1);
  row->addWidget(new QLabel(unit, w));
  return w;
}

} // namespace

ColorBox::ColorBox(QWidget *parent) : QToolButton(parent) {
  setFixedSize(60, 22);
  setColor({});
  connect(this, &QToolButton::clicked, this, [this] {
    const QColor picked = QColorDialog::getColor(QColor(color_.red, color_.green, color_.blue),
                                                 this, QStringLiteral("颜色"));
    if (picked.isValid())
      setColor({picked.red(), picked.green(), picked.blue()});
  });
}

void ColorBox::setColor(Rgb color) {
  color_ = color;
  setStyleSheet(QStringLiteral("QToolButton{background:%1;border:1px solid #8a9099}")
                    .arg(Settings::ColorToHtml(color)));
  setToolTip(Settings::ColorToHtml(color).toUpper());
}

Tviewmodeform::Tviewmodeform(const DataFolder &folder, const HtmlViewFactory &makeHtmlView,
                             QWidget *parent)
    : QDialog(parent), folder_(folder) {
  setWindowTitle(QStringLiteral("阅读模板"));
  setModal(true);
  resize(900, 560);
  auto *row = new QHBoxLayout(this);
  viewmode = makeHtmlView(this);
  viewmode->setContextMenuShown(true);
  row->addWidget(viewmode, 1);

  auto *right = new QVBoxLayout;
  row->addLayout(right);
  auto *top = new QFormLayout;
  backcolor = new ColorBox(this);
  top->addRow(QStringLiteral("背景："), backcolor);
  right->addLayout(top);

  auto group = [&](const QString &title) {
    auto *box = new QGroupBox(title, this);
    auto *form = new QFormLayout(box);
    right->addWidget(box);
    return form;
  };
  QFormLayout *head = group(QStringLiteral("标题"));
  headfont = fontList(this);
  headcolor = new ColorBox(this);
  headsize = spin(100, this);
  headblod = new QCheckBox(QStringLiteral("加粗"), this);
  headheight = spin(1000, this);
  head->addRow(QStringLiteral("字体："), headfont);
  head->addRow(QStringLiteral("颜色："), headcolor);
  head->addRow(QStringLiteral("大小："), headsize);
  head->addRow(QString(), headblod);
  head->addRow(QStringLiteral("行高："), withUnit(headheight, QStringLiteral("%")));

  QFormLayout *body = group(QStringLiteral("正文"));
  bodyfont = fontList(this);
  bodycolor = new ColorBox(this);
  bodysize = spin(100, this);
  bodyblod = new QCheckBox(QStringLiteral("加粗"), this);
  bodyheight = spin(1000, this);
  body->addRow(QStringLiteral("字体："), bodyfont);
  body->addRow(QStringLiteral("颜色："), bodycolor);
  body->addRow(QStringLiteral("大小："), bodysize);
  body->addRow(QString(), bodyblod);
  body->addRow(QStringLiteral("行高："), withUnit(bodyheight, QStringLiteral("%")));

  QFormLayout *line = group(QStringLiteral("分隔线"));
  linecolor = new ColorBox(this);
  linesize = spin(100, this);
  line->addRow(QStringLiteral("颜色："), linecolor);
  line->addRow(QStringLiteral("大小："), linesize);

  right->addStretch(1);
  auto *buttons = new QGridLayout;
  RzBitBtn1 = new QPushButton(QStringLiteral("重置"), this);
  RzBitBtn2 = new QPushButton(QStringLiteral("恢复默认"), this);
  RzBitBtn3 = new QPushButton(QStringLiteral("预览"), this);
  RzBitBtn4 = new QPushButton(QStringLiteral("确认保存"), this);
  buttons->addWidget(RzBitBtn1, 0, 0);
  buttons->addWidget(RzBitBtn2, 0, 1);
  buttons->addWidget(RzBitBtn3, 1, 0);
  buttons->addWidget(RzBitBtn4, 1, 1);
  right->addLayout(buttons);
  for (QPushButton *b : {RzBitBtn1, RzBitBtn2, RzBitBtn3, RzBitBtn4})
    b->setAutoDefault(false);

  connect(RzBitBtn1, &QPushButton::clicked, this, [this] { RzBitBtn1Click(); });
  connect(RzBitBtn2, &QPushButton::clicked, this, [this] { RzBitBtn2Click(); });
  connect(RzBitBtn3, &QPushButton::clicked, this, [this] { RzBitBtn3Click(); });
  connect(RzBitBtn4, &QPushButton::clicked, this, [this] { RzBitBtn4Click(); });
  connect(viewmode, &HtmlView::loadFinished, this, [this](bool) { viewmodeDocumentComplete(); });
}

QString Tviewmodeform::sampleTitle() {
  return QStringLiteral("标题：误佳期");
}

QString Tviewmodeform::sampleContent() {
  return QStringLiteral("正文：<br/>千金难求珍<br/>宝家和易得欢笑<br/>人生自是有情痴<br/>原做双飞鸟"
                        "<br/><br/>情两难分付<br/>是一丝烦恼<br/>蓦然回首神仙地<br/>还道人间好");
}

void Tviewmodeform::showEvent(QShowEvent *e) {
  QDialog::showEvent(e);
  RzBitBtn1Click();
}

QString Tviewmodeform::bookFile(const QString &name) const {
  return folder_.path(QStringLiteral("book/") + name);
}

QString Tviewmodeform::templateText() const {
  QByteArray text = codec::readtxt(bookFile(QStringLiteral("bank.html")));
  // Without a template of its own the data folder gets the shipped one back, never an empty
  // page that has nowhere to put a chapter.
  if (text.isEmpty())
    text = codec::readtxt(DataFolder::seedFolder() + QStringLiteral("/book/bank.html"));
  return codec::decode(text);
}

void Tviewmodeform::RzBitBtn1Click() {
  viewmode->load(QUrl::fromLocalFile(bookFile(QStringLiteral("bank.html"))));
  setValues(TemplateStyle::read(templateText()));
}

void Tviewmodeform::RzBitBtn2Click() {
  setValues(TemplateStyle::defaults());
  RzBitBtn3Click();
}

void Tviewmodeform::RzBitBtn3Click() {
  savehtml(QStringLiteral("temp.html"));
}

void Tviewmodeform::RzBitBtn4Click() {
  if (savehtml(QStringLiteral("bank.html")))
    accept();
}

bool Tviewmodeform::savehtml(const QString &name) {
  const QString path = bookFile(name);
  if (!codec::writeFileAtomic(path, codec::encode(values().write(templateText()))))
    return false;
  viewmode->load(QUrl::fromLocalFile(path));
  return true;
}

void Tviewmodeform::viewmodeDocumentComplete() {
  viewmode->fillBody(
      [](const QString &h) { return ReadingPage::fillBody(h, sampleTitle(), sampleContent()); });
}

TemplateStyle Tviewmodeform::values() const {
  TemplateStyle s;
  s.background = Settings::ColorToHtml(backcolor->color());
  s.bodyFont = bodyfont->currentText();
  s.bodySize = QString::number(bodysize->value());
  s.bodyColor = Settings::ColorToHtml(bodycolor->color());
  s.bodyHeight = QString::number(bodyheight->value());
  s.bodyBold = bodyblod->isChecked();
  s.headFont = headfont->currentText();
  s.headSize = QString::number(headsize->value());
  s.headColor = Settings::ColorToHtml(headcolor->color());
  s.headHeight = QString::number(headheight->value());
  s.headBold = headblod->isChecked();
  s.lineColor = Settings::ColorToHtml(linecolor->color());
  s.lineSize = QString::number(linesize->value());
  return s;
}

void Tviewmodeform::setValues(const TemplateStyle &s) {
  backcolor->setColor(Settings::HtmlToColor(s.background));
  bodyfont->setEditText(s.bodyFont);
  bodysize->setValue(number(s.bodySize));
  bodycolor->setColor(Settings::HtmlToColor(s.bodyColor));
  bodyheight->setValue(number(s.bodyHeight));
  bodyblod->setChecked(s.bodyBold);
  headfont->setEditText(s.headFont);
  headsize->setValue(number(s.headSize));
  headcolor->setColor(Settings::HtmlToColor(s.headColor));
  headheight->setValue(number(s.headHeight));
  headblod->setChecked(s.headBold);
  linecolor->setColor(Settings::HtmlToColor(s.lineColor));
  linesize->setValue(number(s.lineSize));
}

} // namespace inkwren
