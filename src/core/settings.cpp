#include "core/settings.h"

#include "core/codec.h"
#include "core/profilefile.h"

#include <QMutexLocker>
#include <QThread>

#include <vector>

namespace inkwren {
namespace {

struct Row {
  const char *section;
  const char *key;
  const char *value;
};

// In index order.
const Row kRows[Settings::count] = {
    {"mainset", "autostart", "0"},
    {"mainset", "firstrun", "1"},
    {"mainset", "autodbook", "0"},
    {"mainset", "width", "800"},
    {"mainset", "height", "600"},
    {"mainset", "fullscreen", "1"},
    {"mainset", "versionid", "1.00"},
    {"mainset", "autoup", "1"},
    {"mainset", "sscount", "5"},
    {"mainset", "closehide", "1"},
    {"mainset", "closenoqr", "0"},
    {"mainset", "defaultskin", ""},
    {"mainset", "userlist", ""},
    {"proxyset", "useproxy", "0"},
    {"proxyset", "proxytype", "1"},
    {"proxyset", "proxyserver", ""},
    {"proxyset", "proxyport", ""},
    {"proxyset", "proxyuser", ""},
    {"proxyset", "proxypass", ""},
    {"keyset", "showkey", "Alt+B"},
    {"keyset", "capkey", "Alt+C"},
    {"keyset", "bosskey", "Alt+X"},
    {"keyset", "bossstop", "1"},
    {"readset", "automark", "1"},
    {"voiceset", "voicechoise", "0"},
    {"voiceset", "voicerate", "0"},
    {"voiceset", "voicevolume", "100"},
    {"voiceset", "voiceread", "1"},
    {"voiceset", "autonext", "1"},
    {"captionset", "showcaption", "1"},
    {"captionset", "captionleft", "100"},
    {"captionset", "captiontop", "0"},
    {"captionset", "captionwidth", "600"},
    {"captionset", "captionback", "0"},
    {"captionset", "backcolor", "#000000"},
    {"captionset", "captionfont", "宋体"},
    {"captionset", "captionsize", "30"},
    {"captionset", "captionbold", "1"},
    {"captionset", "vertical", "0"},
    {"captionset", "captioncolor", "#FF0000"},
    {"captionset", "showshadow", "1"},
    {"captionset", "shadowcolor", "#000000"},
    {"captionset", "showshade", "1"},
    {"captionset", "shadecolor", "#FFFFFF"},
    {"captionset", "shadetype", "2"},
    {"captionset", "lockcap", "0"},
    {"mainset", "ssout", "10"},
    {"mainset", "setvid", "0"},
    {"mainset", "upvid", "0"},
    {"mainset", "downthreads", "4"},
    {"mainset", "leftwidth", ""},
};

bool validIndex(int i) {
  return i >= 0 && i < Settings::count;
}

int hexPair(const QString &s, int from) {
  QString pair = s.mid(from, 2);
  bool ok = false;
  int v = pair.toInt(&ok, 16);
  return ok && !pair.startsWith(QLatin1Char('+')) && !pair.startsWith(QLatin1Char('-')) ? v : 0;
}

} // namespace

Settings::Settings(QString path, QObject *parent) : QObject(parent), path_(std::move(path)) {
  newset();
}

void Settings::assign(const std::function<QString(int, const QString &)> &valueOf) {
  std::vector<int> changedRows;
  {
    QMutexLocker lock(&mutex_);
    for (int i = 0; i < count; ++i) {
      QString v = valueOf(i, values_[i]);
      if (v != values_[i]) {
        values_[i] = std::move(v);
        changedRows.push_back(i);
      }
    }
  }
  for (int i : changedRows)
    Q_EMIT changed(i);
}

void Settings::newset() {
  assign([](int i, const QString &) { return QString::fromUtf8(kRows[i].value); });
}

QString Settings::section(int index) const {
  return validIndex(index) ? QString::fromLatin1(kRows[index].section) : QString();
}
QString Settings::key(int index) const {
  return validIndex(index) ? QString::fromLatin1(kRows[index].key) : QString();
}
QString Settings::defaultValue(int index) {
  return validIndex(index) ? QString::fromUtf8(kRows[index].value) : QString();
}

bool Settings::getset(int maxAttempts, std::chrono::milliseconds retryDelay) {
  for (int attempt = 0; attempt < std::max(1, maxAttempts); ++attempt) {
    if (attempt > 0)
      QThread::msleep(static_cast<unsigned long>(retryDelay.count()));
    ProfileFile file(path_);
    if (file.load() == ProfileFile::LoadResult::Unreadable)
      continue;
    assign([&file](int i, const QString &old) {
      return codec::decode(file.value(kRows[i].section, kRows[i].key, codec::encode(old)));
    });
    return true;
  }
  return false;
}

bool Settings::write(const std::function<void(ProfileFile &)> &rows) {
  if (!live_)
    return false;
  live_ = false;
  ProfileFile file(path_);
  bool ok = file.load() != ProfileFile::LoadResult::Unreadable;
  if (ok) {
    rows(file);
    ok = file.save();
  }
  live_ = true;
  return ok;
}

bool Settings::writeset() {
  return write([this](ProfileFile &file) {
    for (int i = 0; i < count; ++i)
      file.setValue(kRows[i].section, kRows[i].key, codec::encode(value(i)));
  });
}

bool Settings::writesetx(int index) {
  if (!validIndex(index))
    return false;
  return write([this, index](ProfileFile &file) {
    file.setValue(kRows[index].section, kRows[index].key, codec::encode(value(index)));
  });
}

QString Settings::value(int index) const {
  QMutexLocker lock(&mutex_);
  return validIndex(index) ? values_[index] : QString();
}

int Settings::number(int index, int fallback) const {
  bool ok = false;
  int v = value(index).trimmed().toInt(&ok);
  return ok ? v : fallback;
}

void Settings::setValue(int index, const QString &value) {
  {
    QMutexLocker lock(&mutex_);
    if (!validIndex(index) || values_[index] == value)
      return;
    values_[index] = value;
  }
  Q_EMIT changed(index);
}

void Settings::store(int index, const QString &value) {
  setValue(index, value);
  writesetx(index);
}

QString Settings::ColorToHtml(Rgb c) {
  return QString::asprintf("#%.2x%.2x%.2x", c.red & 0xff, c.green & 0xff, c.blue & 0xff);
}

Rgb Settings::HtmlToColor(const QString &text) {
  QString s = text;
  s.remove(QLatin1Char('#'));
  s.remove(QLatin1String("   "));
  s.remove(QLatin1Char('"'));
  return {hexPair(s, 0), hexPair(s, 2), hexPair(s, 4)};
}

} // namespace inkwren
