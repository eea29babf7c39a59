#pragma once
// The settings table: 51 rows of section, key and value, addressed by index, built with its
// defaults, overlaid once from "config/set.ini" and written back row by row as settings change.
//
// Every change of a row's value is announced by changed(index), so windows that show a setting
// (options, hot keys, caption, skins) follow it wherever it was made.
//
// Threads: the main thread builds, changes and writes the table; workers read rows (proxy and
// search rows) at any time. Reads and changes are guarded, so a reader never sees a torn value.
// changed() is emitted on the thread that made the change.
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <chrono>
#include <functional>

namespace inkwren {

struct Rgb {
  int red = 0, green = 0, blue = 0;
  bool operator==(const Rgb &) const = default;
};

class Settings : public QObject {
  Q_OBJECT
public:
  // Row indexes, named after their keys.
  enum Index : int {
    autostart,
    firstrun,
    autodbook,
    width,
    height,
    fullscreen,
    versionid,
    autoup,
    sscount,
    closehide,
    closenoqr,
    defaultskin,
    userlist,
    useproxy,
    proxytype,
    proxyserver,
    proxyport,
    proxyuser,
    proxypass,
    showkey,
    capkey,
    bosskey,
    bossstop,
    automark,
    voicechoise,
    voicerate,
    voicevolume,
    voiceread,
    autonext,
    showcaption,
    captionleft,
    captiontop,
    captionwidth,
    captionback,
    backcolor,
    captionfont,
    captionsize,
    captionbold,
    vertical,
    captioncolor,
    showshadow,
    shadowcolor,
    showshade,
    shadecolor,
    shadetype,
    lockcap,
    ssout,
    setvid,
    upvid,
    downthreads, // chapters an update fetches at once (1: strictly one after another)
    leftwidth,   // the main window's left pane in pixels; empty until the user drags the splitter
    count
  };

  // path: the settings file ("config/set.ini" in the data folder).
  explicit Settings(QString path, QObject *parent = nullptr);

  // Builds the table with its defaults.
  void newset();
  // Overlays the values found in the settings file. A file that exists but can't be read is
  // tried again every retryDelay up to maxAttempts times; then the defaults stay. Returns false
  // when the file could not be read at all.
  bool getset(int maxAttempts = 20,
              std::chrono::milliseconds retryDelay = std::chrono::milliseconds(100));
  // Writes every row (writeset) or one row (writesetx) to the file, unless settings are being
  // applied (the live flag is clear). Returns false when nothing reached the file.
  bool writeset();
  bool writesetx(int index);

  QString value(int index) const;
  int number(int index, int fallback) const; // a row as a whole number, fallback when it isn't
  bool on(int index) const { return value(index) == QLatin1String("1"); }
  void setValue(int index, const QString &value);
  // Sets a row and writes it at once (the way every single control records a change).
  void store(int index, const QString &value);

  QString section(int index) const;
  QString key(int index) const;
  static QString defaultValue(int index);

  // The settings-live flag: clear while settings are applied and during a write.
  bool live() const { return live_; }
  void setLive(bool live) { live_ = live; }

  const QString &path() const { return path_; }

  // "#rrggbb" with lower-case digits.
  static QString ColorToHtml(Rgb color);
  // "#", runs of three blanks and double quotes are dropped; then characters 1-2, 3-4 and 5-6
  // are red, green and blue in hexadecimal, 0 where a pair is missing or not hexadecimal.
  static Rgb HtmlToColor(const QString &text);

Q_SIGNALS:
  // The value of row index changed (by setValue, store, newset or getset).
  void changed(int index);

private:
  // Replaces values under the lock, then announces the rows whose value differs.
  void assign(const std::function<QString(int index, const QString &old)> &valueOf);
  bool write(const std::function<void(class ProfileFile &)> &rows);

  QString path_;
  mutable QMutex mutex_;
  std::array<QString, count> values_;
  bool live_ = false;
};

} // namespace inkwren
