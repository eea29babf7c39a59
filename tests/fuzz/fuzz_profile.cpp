// The settings file: any file content loads, its values are read, a change is saved and read
// back.
#include "core/profilefile.h"
#include "fuzz_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace inkwren;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("set.ini"));
  const QByteArrayList parts = fuzz::split(data, size, 3);
  {
    QFile f(path);
    fuzz::require(f.open(QIODevice::WriteOnly | QIODevice::Truncate), "temporary file");
    f.write(parts[0]);
  }
  ProfileFile file(path);
  fuzz::require(file.load() == ProfileFile::LoadResult::Loaded, "any content loads");
  const QByteArray section = parts[1].left(20), key = parts[2].left(20);
  (void)file.value(section, key, "fallback");
  // Names and values that the format can hold: no line breaks, no "=" or "]" in names.
  const auto clean = [](QByteArray s) {
    s.replace('\r', ' ').replace('\n', ' ').replace('=', ' ').replace(']', ' ').replace('[', ' ');
    return s.trimmed();
  };
  const QByteArray cs = clean(section), ck = clean(key);
  if (cs.isEmpty() || ck.isEmpty())
    return 0;
  file.setValue(cs, ck, "value");
  fuzz::require(file.save(), "saved");
  ProfileFile again(path);
  fuzz::require(again.load() == ProfileFile::LoadResult::Loaded, "reloaded");
  fuzz::require(again.value(cs, ck, "missing") == "value", "a stored value reads back");
  return 0;
}
