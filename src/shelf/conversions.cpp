#include "shelf/conversions.h"

#include "core/codec.h"
#include "shelf/chapterfiles.h"

#include <QFile>

#include <opencc/opencc.h>

namespace inkwren {

// One OpenCC converter, opened on first use from its configuration name; the installed
// configuration folder is tried when the bare name is not found.
struct Conversions::OpenCC {
  explicit OpenCC(const char *config) : config_(config) {}
  ~OpenCC() {
    if (handle_ != reinterpret_cast<opencc_t>(-1))
      opencc_close(handle_);
  }
  opencc_t get() {
    if (!tried_) {
      tried_ = true;
      handle_ = opencc_open(config_);
      if (handle_ == reinterpret_cast<opencc_t>(-1))
        handle_ = opencc_open((QByteArray("/usr/share/opencc/") + config_).constData());
    }
    return handle_;
  }
  const char *config_;
  bool tried_ = false;
  opencc_t handle_ = reinterpret_cast<opencc_t>(-1);
};

Conversions::Conversions()
    : s2t_(std::make_unique<OpenCC>("s2t.json")), t2s_(std::make_unique<OpenCC>("t2s.json")) {}

Conversions::~Conversions() = default;

QString Conversions::run(OpenCC &cc, const QString &text) {
  opencc_t h = cc.get();
  if (h == reinterpret_cast<opencc_t>(-1) || text.isEmpty())
    return text;
  QByteArray utf8 = text.toUtf8();
  char *out = opencc_convert_utf8(h, utf8.constData(), size_t(utf8.size()));
  if (!out)
    return text;
  QString result = QString::fromUtf8(out);
  opencc_convert_utf8_free(out);
  return result;
}

QString Conversions::GBChs2Cht(const QString &text) {
  return run(*s2t_, text);
}
QString Conversions::GBCht2Chs(const QString &text) {
  return run(*t2s_, text);
}

bool Conversions::available(int mode) const {
  if (mode == NumericReferences)
    return bool(decoder_);
  return mode == ToTraditional || mode == ToSimplified;
}

bool Conversions::bianma(const ChapterFiles &files, const QString &bookId,
                         const QStringList &chapterIds, int mode) {
  if (!available(mode))
    return false;
  for (const QString &id : chapterIds) {
    if (!QFile::exists(files.chapterFile(bookId, id)))
      continue;
    QByteArray text = files.readChapter(bookId, id);
    QByteArray converted;
    if (mode == NumericReferences) {
      std::optional<QByteArray> decoded = decoder_(text);
      if (!decoded)
        return false;
      converted = *decoded;
    } else
      converted = codec::encode(mode == ToTraditional ? GBChs2Cht(codec::decode(text))
                                                      : GBCht2Chs(codec::decode(text)));
    if (!files.writeChapter(bookId, id, converted))
      return false;
  }
  return true;
}

} // namespace inkwren
