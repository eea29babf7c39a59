#pragma once
// The caption window Tcapform: a frameless, see-through window of its own (not owned by the
// main window) that stays above all others and shows, in large decorated letters, the caption
// line holding the word being spoken.
//
// - The caption label caplab fills the caption panel capbp. The whole text being spoken sits
//   in the hidden caption memo, wrapped into caption lines of about as many characters as the
//   caption shows across its width (changecaplen); showWord shows the line of a word.
// - Moving the pointer over the caption hides its text and, unless the caption is locked,
//   shows the toolbar panel capb under (or, near the bottom of the screen, over) the caption.
//   The captm timer hides it again at least a second after the last movement, once the
//   pointer has left the window.
// - A press on the caption moves the window (not stored); a press within 8 pixels of its left
//   or right edge resizes it; a drag by the toolbar's background moves it with the caption kept
//   on the screen and stores the position. The width is at least 300 and is stored.
// - Every setting is read from the settings table in setcaption; the window writes
//   captionleft, captiontop, captionwidth and lockcap itself.
//
// Main thread only.
#include "speech/speechcontroller.h"
#include "speech/ui/captionlabel.h"

#include <QTextLayout>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QAction;
class QToolBar;

namespace inkwren {

class Settings;

class Tcapform : public QWidget {
  Q_OBJECT
public:
  static constexpr int kMinWidth = 300;
  static constexpr int kToolbarHeight = 27;
  static constexpr int kEdge = 8; // the sizing strips at the left and right

  explicit Tcapform(Settings &settings, QWidget *parent = nullptr);
  ~Tcapform() override;

  // Applies every caption setting (look, width, position, visibility).
  void setcaption();
  // Sets the caption memo's width from the caption's font and width.
  void changecaplen();
  int memoWidth() const { return memoWidth_; }

  // The whole text being spoken; the caption line holding position (UTF-16 offset into it),
  // shown while the window is visible; an empty caption.
  void setMemoText(const QString &text);
  void showWord(int position);
  void clearCaption();
  // The memo's lines as it wraps the text (tests, and showWord).
  QStringList memoLines() const;
  QString memoLineAt(int position) const;

  // The pointer moved over the caption; one tick of captm.
  void hover();
  void captmTimer();
  // The drag by the toolbar background, in screen coordinates.
  void bgimPress(const QPoint &global);
  void bgimMove(const QPoint &global);
  void bgimRelease();
  // The toolbar's lock button: hides the toolbar and stores lockcap "1".
  void lockcapClick();

  bool toolbarShown() const;
  bool toolbarUnderCaption() const { return toolbarUnder_; }
  bool dragging() const { return capdrag_; }
  CaptionLabel &caplab() { return *caplab_; }
  QWidget &capbp() { return *capbp_; }
  QWidget &capb() { return *capb_; }
  // The buttons' states as the controller says.
  void applyButtons(const VoiceButtons &buttons);

  // Where the pointer is (QCursor::pos() unless a test says otherwise).
  std::function<QPoint()> cursorPos;
  // Where the caption must stay (the screen under the window unless a test says otherwise).
  std::function<QRect()> screenRect;

  // The toolbar's buttons; the program connects them to the main window's commands.
  QAction *voicebegin = nullptr, *voicestop = nullptr, *readlast = nullptr, *readnext = nullptr,
          *readlocal = nullptr, *voicecaption = nullptr, *lockcap = nullptr;

Q_SIGNALS:
  void lockChanged(); // the caption locked itself

protected:
  void resizeEvent(QResizeEvent *e) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void relayout();
  void setToolbarShown(bool shown);
  void storeRow(int index, const QString &value);
  void buildToolbar();

  Settings &settings_;
  QWidget *capbp_;
  CaptionLabel *caplab_;
  QWidget *capb_;
  QWidget *bgim_;
  QToolBar *captb_;
  QTimer captm_;
  QTimer apply_; // settings being applied reach the caption once they are all in
  bool storing_ = false;
  int captick_ = 0;
  bool capdrag_ = false;
  QPoint dragOffset_;
  bool toolbarUnder_ = true;
  bool hovering_ = false;

  QString memo_;
  struct Line {
    int start, end; // [start, end) in memo_
  };
  std::vector<Line> lines_;
  int memoWidth_ = 6;
  int memoWidthFor_ = -1; // the caption width memoWidth_ was measured for
  void wrapMemo();
};

} // namespace inkwren
