#include "core/codec.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace inkwren::codec {
namespace {

constexpr char16_t kEscapeLast = kEscapeBase + 0x7F;

bool isEscape(char16_t c) { return c >= kEscapeBase && c <= kEscapeLast; }

// One conversion descriptor per thread and direction: iconv descriptors carry state and must
// not be shared between threads.
class Iconv {
public:
  Iconv(const char *to, const char *from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1))
      throw std::runtime_error("iconv cannot convert between GB18030 and UTF-16");
  }
  ~Iconv() { iconv_close(cd_); }
  Iconv(const Iconv &) = delete;
  Iconv &operator=(const Iconv &) = delete;
  iconv_t get() {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    return cd_;
  }

private:
  iconv_t cd_;
};

iconv_t decoder() {
  thread_local Iconv cd("UTF-16LE", "GB18030");
  return cd.get();
}

iconv_t encoder() {
  thread_local Iconv cd("GB18030", "UTF-16LE");
  return cd.get();
}

// Encodes text that holds no escape code points; an unencodable unit (a lone surrogate)
// becomes "?".
void encodeRun(QStringView run, QByteArray &out) {
  if (run.isEmpty())
    return;
  iconv_t cd = encoder();
  auto *in = reinterpret_cast<char *>(const_cast<QChar *>(run.data()));
  size_t inLeft = size_t(run.size()) * 2;
  qsizetype done = out.size();
  out.resize(done + run.size() * 4 + 16);
  while (inLeft > 0) {
    char *o = out.data() + done;
    size_t oLeft = size_t(out.size() - done);
    size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    done = o - out.data();
    if (r != size_t(-1))
      break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
    } else {
      // EILSEQ or EINVAL: a lone surrogate; skip that unit.
      out.resize(std::max<qsizetype>(out.size(), done + 1));
      out[done++] = '?';
      in += 2;
      inLeft -= 2;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  out.resize(done);
}

// The careful path, taken only when the text holds escape code points: every sequence is
// decoded on its own, and one whose character falls in the escape range (a valid four-byte
// sequence) is written as the escapes of its bytes, so decoding stays lossless.
QString decodeBySequence(QByteArrayView gbk) {
  QString out;
  out.reserve(gbk.size());
  const auto *b = reinterpret_cast<const unsigned char *>(gbk.data());
  const qsizetype n = gbk.size();
  auto escape = [&](qsizetype i) {
    out += b[i] < 0x80 ? QChar(b[i]) : QChar(char16_t(kEscapeBase + (b[i] - 0x80)));
  };
  for (qsizetype i = 0; i < n;) {
    qsizetype len = 1;
    if (b[i] >= 0x81 && b[i] <= 0xFE && i + 1 < n) {
      if (b[i + 1] >= 0x30 && b[i + 1] <= 0x39)
        len = (i + 3 < n && b[i + 2] >= 0x81 && b[i + 2] <= 0xFE && b[i + 3] >= 0x30 &&
               b[i + 3] <= 0x39)
                  ? 4
                  : 1;
      else if (b[i + 1] >= 0x40 && b[i + 1] <= 0xFE && b[i + 1] != 0x7F)
        len = 2;
    }
    if (len == 1 && b[i] < 0x80) {
      out += QChar(b[i]);
      ++i;
      continue;
    }
    char16_t buf[4];
    iconv_t cd = decoder();
    auto *in = reinterpret_cast<char *>(const_cast<unsigned char *>(b + i));
    size_t inLeft = size_t(len);
    auto *o = reinterpret_cast<char *>(buf);
    size_t oLeft = sizeof buf;
    bool ok = len > 1 && iconv(cd, &in, &inLeft, &o, &oLeft) != size_t(-1) && inLeft == 0;
    qsizetype units = (reinterpret_cast<char16_t *>(o) - buf);
    if (ok && units > 0 && !(units == 1 && isEscape(buf[0]))) {
      out.append(reinterpret_cast<const QChar *>(buf), units);
    } else {
      for (qsizetype k = 0; k < len; ++k)
        escape(i + k);
    }
    i += len;
  }
  return out;
}

} // namespace

QString decode(QByteArrayView gbk) {
  QString out;
  if (gbk.isEmpty())
    return out;
  out.resize(gbk.size() + 1);
  iconv_t cd = decoder();
  auto *in = const_cast<char *>(gbk.data());
  size_t inLeft = size_t(gbk.size());
  qsizetype done = 0;
  while (inLeft > 0) {
    char *o = reinterpret_cast<char *>(out.data() + done);
    size_t oLeft = size_t(out.size() - done) * 2;
    size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    done = (o - reinterpret_cast<char *>(out.data())) / 2;
    if (r != size_t(-1))
      break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // Not a valid sequence (EILSEQ), or one cut off by the end (EINVAL): escape one byte and
    // carry on from the next.
    if (out.size() < done + 1)
      out.resize(done + 16);
    auto b = static_cast<unsigned char>(*in);
    out[done++] = b < 0x80 ? QChar(b) : QChar(char16_t(kEscapeBase + (b - 0x80)));
    ++in;
    --inLeft;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(done);
  for (QChar c : std::as_const(out))
    if (isEscape(c.unicode()))
      return decodeBySequence(gbk);
  return out;
}

QByteArray encode(QStringView text) {
  QByteArray out;
  out.reserve(text.size() * 2);
  qsizetype runStart = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    char16_t u = text[i].unicode();
    if (!isEscape(u))
      continue;
    encodeRun(text.mid(runStart, i - runStart), out);
    out += char(0x80 + (u - kEscapeBase));
    runStart = i + 1;
  }
  encodeRun(text.mid(runStart), out);
  return out;
}

std::optional<QString> decodeUtf8Strict(QByteArrayView utf8) {
  QStringDecoder dec(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  QString s = dec.decode(utf8);
  if (dec.hasError())
    return std::nullopt;
  return s;
}

QByteArray joinLinesCrLf(QByteArrayView bytes) {
  QByteArray out;
  out.reserve(bytes.size() + bytes.size() / 16 + 2);
  const char *p = bytes.data();
  const char *end = p + bytes.size();
  while (p < end) {
    const char *q = p;
    while (q < end && *q != '\r' && *q != '\n')
      ++q;
    out.append(p, q - p);
    out.append("\r\n", 2);
    if (q < end && *q++ == '\r' && q < end && *q == '\n')
      ++q;
    p = q;
  }
  return out;
}

QByteArray readtxt(const QString &path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return {};
  return joinLinesCrLf(f.readAll());
}

bool writeFileAtomic(const QString &path, QByteArrayView bytes) {
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly))
    return false;
  if (f.write(bytes.data(), bytes.size()) != bytes.size()) {
    f.cancelWriting();
    return false;
  }
  return f.commit();
}

bool writeLines(const QString &path, QByteArrayView gbk) {
  return writeFileAtomic(path, joinLinesCrLf(gbk));
}

bool writeLines(const QString &path, QStringView text) { return writeLines(path, encode(text)); }

} // namespace inkwren::codec
