#pragma once
// Reading aloud inside the main window: the read-aloud buttons at the left of the bottom bar
// (start/pause, stop, previous and next chapter, local file, the volume button with its slider
// panel RzPanel5, caption show/hide and lock), the label nowreadxx, the commands of the book
// and chapter menus and the toolbar ("从第一章节朗读", "从未读章节朗读", "朗读", "语音朗读"),
// and the caption window, all following the read-aloud controller.
//
// The bottom-bar buttons are commands of the main window by their names (voicebegin,
// voicestop, readlast, readnext, readlocal, RzToolButton10, voicecaption, caplock), so hot keys,
// the tray menu and the media keys press them like the user does.
//
// Made once by the program's entry, after the bookshelf's windows. Main thread only.
#include "speech/speechcontroller.h"

#include <QObject>

#include <memory>

class QAction;
class QFrame;
class QLabel;
class QSlider;
class QWidget;

namespace inkwren {

class Messages;
class MprisPlayer;
class Settings;
class ShelfWiring;
class ShellHost;
class Tcapform;

class SpeechWiring : public QObject {
  Q_OBJECT
public:
  // "朗读本地文件" picks its file through the window's file dialogs.
  SpeechWiring(ShellHost &shell, ShelfWiring &shelf, Settings &settings, Messages &messages,
               SpeechController &voice);
  ~SpeechWiring() override;

  // Offers the controller as a media player on the session bus (media keys, desktop media
  // widgets). False when there is no session bus.
  bool publishOnSessionBus();

  SpeechController &controller() { return voice_; }
  Tcapform &caption() { return *caption_; }
  QSlider &volumeSlider() { return *slider_; }
  QFrame &volumePanel() { return *RzPanel5_; }

  // The commands.
  void readSelectedChapter();          // "朗读" and "语音朗读"
  void readBook(const QString &where); // "从第一章节朗读" / "从未读章节朗读"
  void readlocalClick();               // "朗读本地文件"
  void voicecaptionClick();            // show or hide the caption
  void caplockClick();                 // lock or unlock the caption
  void RzToolButton10Click();          // show or hide the volume panel

  QAction *voicebegin = nullptr, *voicestop = nullptr, *readlast = nullptr, *readnext = nullptr,
          *readlocal = nullptr, *RzToolButton10 = nullptr, *voicecaption = nullptr,
          *caplock = nullptr;

private:
  void applyButtons(const VoiceButtons &buttons);
  void showLockPicture();
  void showVolumeSetting();
  QWidget *buildBar();

  ShellHost &shell_;
  ShelfWiring &shelf_;
  Settings &settings_;
  Messages &messages_;
  SpeechController &voice_;
  std::unique_ptr<Tcapform> caption_;
  QFrame *RzPanel5_ = nullptr;
  QSlider *slider_ = nullptr;
  QLabel *nowreadxx_ = nullptr;
  bool showingVolume_ = false;
  std::unique_ptr<MprisPlayer> mpris_;
};

} // namespace inkwren
