#include "core/ui/programstyle.h"

#include "core/ui/artwork.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleFactory>

namespace inkwren::look {
namespace {

// Fusion with the program's spacing and its own message pictures, painted for every size.
class ProgramStyle : public QProxyStyle {
public:
  ProgramStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

  int pixelMetric(PixelMetric metric, const QStyleOption *option,
                  const QWidget *widget) const override {
    switch (metric) {
    case PM_LayoutLeftMargin:
    case PM_LayoutRightMargin:
      return 16;
    case PM_LayoutTopMargin:
    case PM_LayoutBottomMargin:
      return 14;
    case PM_LayoutHorizontalSpacing:
    case PM_LayoutVerticalSpacing:
      return 8;
    case PM_MessageBoxIconSize:
      return 32;
    case PM_ToolBarItemSpacing: // tool buttons sit side by side: a full row fits in 800 pixels
    case PM_ToolBarItemMargin:
      return 0;
    default:
      return QProxyStyle::pixelMetric(metric, option, widget);
    }
  }

  QIcon standardIcon(StandardPixmap which, const QStyleOption *option,
                     const QWidget *widget) const override {
    switch (which) {
    case SP_MessageBoxInformation:
      return artwork::messageIcon(artwork::MessageIcon::Information);
    case SP_MessageBoxWarning:
      return artwork::messageIcon(artwork::MessageIcon::Warning);
    case SP_MessageBoxCritical:
      return artwork::messageIcon(artwork::MessageIcon::Error);
    case SP_MessageBoxQuestion:
      return artwork::messageIcon(artwork::MessageIcon::Question);
    default:
      return QProxyStyle::standardIcon(which, option, widget);
    }
  }
};

// No min-width on buttons: a style sheet's minimum would become the buttons' fixed minimum
// and squeeze longer captions in a crowded row.
const char *const kSheet = R"css(
QDialog { background: #ffffff; }
QDialog QLabel { color: #1f2633; }
QDialog QPushButton { padding: 4px 16px; color: #1f2633;
  background: #f6f7f9; border: 1px solid #d3d8e0; border-radius: 5px; }
QDialog QPushButton:hover { background: #eef0f4; border-color: #c3c9d3; }
QDialog QPushButton:pressed { background: #e2e6ec; }
QDialog QPushButton:focus { border-color: #f5a623; }
QDialog QPushButton:disabled { color: #a9b0bb; background: #f6f7f9; border-color: #e3e6eb; }
QDialog QPushButton[primary="true"] { color: #ffffff; background: #f5a623; border-color: #e29516;
  font-weight: bold; }
QDialog QPushButton[primary="true"]:hover { background: #f7b140; }
QDialog QPushButton[primary="true"]:pressed { background: #e29516; }
QDialog QPushButton[primary="true"]:disabled { color: #fff7e8; background: #f3cf8f; border-color: #f3cf8f; }
QDialog > QToolButton { padding: 3px 10px; color: #1f2633; background: #f6f7f9;
  border: 1px solid #d3d8e0; border-radius: 5px; }
QDialog > QToolButton:hover { background: #eef0f4; border-color: #c3c9d3; }
QDialog > QToolButton:pressed { background: #e2e6ec; }
QDialog QLineEdit, QDialog QPlainTextEdit, QDialog QTextEdit { background: #ffffff; color: #1f2633;
  border: 1px solid #d3d8e0; border-radius: 4px; padding: 2px 6px;
  selection-background-color: #f5a623; selection-color: #1f2633; }
QDialog QLineEdit:focus, QDialog QPlainTextEdit:focus, QDialog QTextEdit:focus { border-color: #f5a623; }
QDialog QLineEdit:disabled { background: #f6f7f9; color: #8a92a0; }
QDialog QGroupBox { border: 1px solid #e3e6eb; border-radius: 6px; margin-top: 12px; padding-top: 6px; }
QDialog QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; color: #596173; }
QDialog QHeaderView::section { background: #f6f7f9; color: #596173; border: 0;
  border-right: 1px solid #e7e9ee; border-bottom: 1px solid #e3e6eb; padding: 4px 6px; }
QDialog QTreeView, QDialog QListView, QDialog QTableView { border: 1px solid #e3e6eb;
  alternate-background-color: #fafbfc; }
QDialog QTreeView::item:selected, QDialog QListView::item:selected { background: #fde9c4; color: #1f2633; }
QMenu { background: #ffffff; color: #1f2633; border: 1px solid #dfe2e8; padding: 4px; }
QMenu::item { padding: 5px 28px 5px 25px; border-left: 3px solid transparent; border-radius: 3px; }
QMenu::item:selected { background: #fde9c4; color: #1f2633; border-left-color: #f5a623; }
QMenu::item:disabled { color: #b1b7c1; }
QMenu::separator { height: 1px; background: #eceef2; margin: 4px 8px; }
QToolTip { color: #1f2633; background: #fffdf7; border: 1px solid #ecd9b0; padding: 3px 6px; }
)css";

} // namespace

QPalette palette() {
  QPalette p;
  p.setColor(QPalette::Window, QColor(0xf6, 0xf7, 0xf9));
  p.setColor(QPalette::WindowText, kInk);
  p.setColor(QPalette::Base, Qt::white);
  p.setColor(QPalette::AlternateBase, QColor(0xfa, 0xfb, 0xfc));
  p.setColor(QPalette::Text, kInk);
  p.setColor(QPalette::Button, QColor(0xf6, 0xf7, 0xf9));
  p.setColor(QPalette::ButtonText, kInk);
  p.setColor(QPalette::Highlight, kAccent);
  p.setColor(QPalette::HighlightedText, kInk);
  p.setColor(QPalette::Link, QColor(0xc7, 0x7c, 0x0e));
  p.setColor(QPalette::ToolTipBase, QColor(0xff, 0xfd, 0xf7));
  p.setColor(QPalette::ToolTipText, kInk);
  p.setColor(QPalette::PlaceholderText, QColor(0x8a, 0x92, 0xa0));
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(QPalette::Disabled, role, QColor(0xa9, 0xb0, 0xbb));
  return p;
}

QString styleSheet() {
  return QString::fromUtf8(kSheet);
}

void apply(QApplication &app) {
  QApplication::setStyle(new ProgramStyle);
  QApplication::setPalette(palette());
  app.setStyleSheet(styleSheet());
  QApplication::setWindowIcon(artwork::programIcon());
}

} // namespace inkwren::look
