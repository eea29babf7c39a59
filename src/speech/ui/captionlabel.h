#pragma once
// The caption label caplab: one line of large text centred in the label, drawn antialiased as
// a path so that any size stays smooth, with an optional opaque background, a shadow, a
// gradient fill in one of six directions and an opacity.
// Main thread only.
#include <QColor>
#include <QFont>
#include <QWidget>

namespace inkwren {

class CaptionLabel : public QWidget {
  Q_OBJECT
public:
  // Gradient directions: 0 left to right, 1 right to left, 2 top to bottom, 3 bottom to top,
  // 4 from the middle to left and right, 5 from the middle to top and bottom.
  enum Shade { LeftToRight, RightToLeft, TopToBottom, BottomToTop, MiddleToSides, MiddleToEnds };

  struct Look {
    QFont font;
    QColor color{Qt::red};
    bool back = false;
    QColor backColor{Qt::black};
    bool shadow = false;
    QColor shadowColor{Qt::black};
    bool shade = false;
    QColor shadeColor{Qt::white};
    int shadeType = TopToBottom;
  };
  static constexpr int kShadowOffset = 2;

  explicit CaptionLabel(QWidget *parent = nullptr);

  void setLook(const Look &look);
  const Look &look() const { return look_; }
  void setText(const QString &text);
  const QString &text() const { return text_; }
  // 0 (invisible) to 100; while hidden (hovered) the background is see-through too.
  void setOpacity(int opacity);
  int opacity() const { return opacity_; }
  void setBackgroundShown(bool shown);
  bool backgroundShown() const { return backShown_; }

  // The brush the text of a look is filled with, over the text's bounds.
  static QBrush fill(const Look &look, const QRectF &bounds);

  // The height the label needs for its font (it is as wide as its window).
  QSize sizeHint() const override;

protected:
  void paintEvent(QPaintEvent *e) override;

private:
  Look look_;
  QString text_;
  int opacity_ = 100;
  bool backShown_ = true;
};

} // namespace inkwren
