#pragma once
// The reading template editor "阅读模板": the look of the reading page (background; font, size,
// colour, line height and weight of the title and of the text; colour and height of the
// separator) read out of the template "book/bank.html" and written back in place, with a live
// preview of a fixed sample. "重置" reloads from the file (every opening does), "恢复默认" sets
// the defaults and previews them, "预览" writes the values into "book/temp.html" and shows it,
// "确认保存" writes them into the template and closes. Closing otherwise changes nothing.
// Main thread only.
#include "core/settings.h"
#include "core/ui/htmlview.h"
#include "reader/templatestyle.h"

#include <QDialog>
#include <QToolButton>

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;

namespace inkwren {

class DataFolder;

// A colour box: shows its colour and lets the user pick another.
class ColorBox : public QToolButton {
  Q_OBJECT
public:
  explicit ColorBox(QWidget *parent = nullptr);
  Rgb color() const { return color_; }
  void setColor(Rgb color);

private:
  Rgb color_;
};

class Tviewmodeform : public QDialog {
  Q_OBJECT
public:
  Tviewmodeform(const DataFolder &folder, const HtmlViewFactory &makeHtmlView,
                QWidget *parent = nullptr);

  // The sample the preview shows.
  static QString sampleTitle();
  static QString sampleContent();

  void RzBitBtn1Click(); // "重置"
  void RzBitBtn2Click(); // "恢复默认"
  void RzBitBtn3Click(); // "预览"
  void RzBitBtn4Click(); // "确认保存"
  // Writes the controls' values into a copy of the template named name in the template's
  // folder and shows it. False when it could not be written.
  bool savehtml(const QString &name);
  void viewmodeDocumentComplete();

  // The controls' values as the template gets them, and filling the controls.
  TemplateStyle values() const;
  void setValues(const TemplateStyle &style);

  HtmlView *viewmode;
  ColorBox *backcolor;
  QComboBox *headfont;
  ColorBox *headcolor;
  QSpinBox *headsize;
  QCheckBox *headblod;
  QSpinBox *headheight;
  QComboBox *bodyfont;
  ColorBox *bodycolor;
  QSpinBox *bodysize;
  QCheckBox *bodyblod;
  QSpinBox *bodyheight;
  ColorBox *linecolor;
  QSpinBox *linesize;
  QPushButton *RzBitBtn1, *RzBitBtn2, *RzBitBtn3, *RzBitBtn4;

protected:
  void showEvent(QShowEvent *e) override;

private:
  QString templateText() const;
  QString bookFile(const QString &name) const;

  const DataFolder &folder_;
};

} // namespace inkwren
