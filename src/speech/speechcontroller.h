#pragma once
// The read-aloud controller: hands one chapter (or a local text file) at a time to the speech
// engine, keeps what is being read (book, chapter, names), follows the engine's word and
// end-of-stream events, goes on to the next chapter by itself when `autonext` is "1", and
// says which state the read-aloud buttons of the main window and of the caption window show.
//
// The controller owns no widgets: the windows apply buttons() whenever buttonsChanged is
// emitted, show nowReading(), and the caption window wraps captionText into caption lines and
// shows the line of each spokenWord.
//
// Threads: main thread only (the engine's events arrive on the main thread).
#include "speech/speechengine.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <optional>

namespace inkwren {

class ChapterFiles;
class ChapterStore;
class Messages;
class ReadMarks;
class Settings;

// The state of the read-aloud buttons in both windows, as data.
struct VoiceButtons {
  enum class State { Idle, Speak, Pause, Stop }; // Idle: nothing requested yet
  // Pictures of the start/pause buttons: main window 0 start, 1 pause; caption window 9 pause,
  // 8 resume, 23 start.
  static constexpr int kMainStart = 0, kMainPause = 1;
  static constexpr int kCaptionPause = 9, kCaptionResume = 8, kCaptionStart = 23;

  State state = State::Idle;
  int mainPicture = kMainStart;
  int captionPicture = kCaptionStart;
  bool beginEnabled = false; // both start/pause buttons
  bool stopEnabled = false;  // both stop buttons
  bool stepEnabled = false;  // "朗读上一章" / "朗读下一章" of both windows

  // The row of the table for a state; stepEnabled follows whether a chapter (not a local
  // file) is being read.
  static VoiceButtons of(State state, bool chapterKnown);
  bool operator==(const VoiceButtons &) const = default;
};

class SpeechController : public QObject {
  Q_OBJECT
public:
  struct Parts {
    SpeechEngine &engine;
    Settings &settings;
    ChapterStore &chapters;
    const ChapterFiles &files;
    ReadMarks &marks;
    Messages &messages;
  };
  // busyWait: how long a chapter request stays busy after it was handed to the engine (events
  // of the request it replaced that arrive meanwhile are ignored).
  explicit SpeechController(Parts parts,
                            std::chrono::milliseconds busyWait = std::chrono::milliseconds(500),
                            QObject *parent = nullptr);

  // Reads one chapter; nothing when the chapter name is empty or a request is being handed
  // over. The end of a request is taken up only once it has been handed over.
  void voicebook(const QString &bookId, const QString &chapterId, const QString &bookName,
                 const QString &chapterName);
  // Reads a book from its first ("first") or first unread ("noread") shown chapter.
  void voicebookx(const QString &bookId, const QString &bookName, const QString &where);
  // Reads the shown chapter after ("next") or before ("last") the one last read.
  void voicebooky(const QString &where);
  // Reads a local text file.
  void voiceloc(const QString &path);
  // Stops what is playing and applies the voice, rate and volume settings to the engine.
  void newvoice();

  // The commands of the buttons.
  void voicebegin(); // start, pause or resume
  void voicestop();
  void readlast() { step(QStringLiteral("last")); }
  void readnext() { step(QStringLiteral("next")); }

  // The engine's events.
  void readvoiceWord(int stream, int position, int length);
  void readvoiceEndStream(int stream);

  const VoiceButtons &buttons() const { return buttons_; }
  bool busy() const { return voicebusy_; }
  bool speaking() const { return buttons_.state == VoiceButtons::State::Speak; }
  const QString &voicebookid() const { return voicebookid_; }
  const QString &voicezjid() const { return voicezjid_; }
  const QString &voicebookname() const { return voicebookname_; }
  const QString &voicezjname() const { return voicezjname_; }
  // What the bottom bar names as being read: "《book》chapter", or a local file's name.
  const QString &nowReading() const { return nowreadxx_; }
  // The whole text being spoken (the caption's text).
  const QString &captionText() const { return caption_; }
  SpeechEngine &engine() { return engine_; }

Q_SIGNALS:
  void buttonsChanged(const inkwren::VoiceButtons &buttons);
  void nowReadingChanged(const QString &text);
  // A new text is being spoken; the caption wraps it into lines.
  void captionTextChanged(const QString &text);
  // The audio has reached text[position, position + length) of the caption's text.
  void spokenWord(int position, int length);
  // Speaking stopped: the caption shows nothing.
  void captionCleared();
  // The engine refused a request (emitted after the user was told why).
  void cannotSpeak(const QString &why);

private:
  void voicebtcg(VoiceButtons::State state);
  // Cleans and speaks a text file; false when the engine refused it.
  bool speakFile(const QString &path);
  void step(const QString &where);
  void handedOver();
  std::optional<int> settingNumber(int index) const;

  SpeechEngine &engine_;
  Settings &settings_;
  ChapterStore &chapters_;
  const ChapterFiles &files_;
  ReadMarks &marks_;
  Messages &messages_;
  QTimer busyTimer_;

  QString voicebookid_, voicezjid_, voicebookname_, voicezjname_;
  QString nowreadxx_, caption_;
  bool voicebusy_ = false;
  bool stepping_ = false;  // a readlast/readnext press is being handled
  int stream_ = 0;         // the request being heard
  int endedWhileBusy_ = 0; // a request that ended while it was being handed over
  VoiceButtons buttons_;
};

} // namespace inkwren
