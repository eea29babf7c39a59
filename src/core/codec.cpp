#include "core/codec.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace inkwren::codec {
namespace {

constexpr char16_t kEscapeLast = kEscapeBase + 0x7F;

bool isEscape(char16_t c) { return c >= kEscapeBase && c <= kEscapeLast; }

// Private-use characters that the platform's converter no longer maps, with the four-byte
// sequences they have in the current edition of GB18030. Eighteen of them used to be two-byte
// codes that now stand for real characters, and they took over the four-byte codes those
// characters had before. The other six had two-byte codes that now stand for characters of
// the supplementary planes; they take those characters' former four-byte codes, which the
// converter still reads as the same characters as the two-byte codes (two byte sequences for
// one character would make decoding lose bytes).
struct PrivateUse {
  char16_t unit;
  unsigned char bytes[4];
};
constexpr PrivateUse kPrivateUse[] = {
    {0xE78D, {0x84, 0x31, 0x82, 0x36}}, {0xE78E, {0x84, 0x31, 0x82, 0x38}},
    {0xE78F, {0x84, 0x31, 0x82, 0x37}}, {0xE790, {0x84, 0x31, 0x82, 0x39}},
    {0xE791, {0x84, 0x31, 0x83, 0x30}}, {0xE792, {0x84, 0x31, 0x83, 0x31}},
    {0xE793, {0x84, 0x31, 0x83, 0x32}}, {0xE794, {0x84, 0x31, 0x83, 0x33}},
    {0xE795, {0x84, 0x31, 0x83, 0x34}}, {0xE796, {0x84, 0x31, 0x83, 0x35}},
    {0xE81E, {0x82, 0x35, 0x90, 0x37}}, {0xE826, {0x82, 0x35, 0x90, 0x38}},
    {0xE82B, {0x82, 0x35, 0x90, 0x39}}, {0xE82C, {0x82, 0x35, 0x91, 0x30}},
    {0xE832, {0x82, 0x35, 0x91, 0x31}}, {0xE843, {0x82, 0x35, 0x91, 0x32}},
    {0xE854, {0x82, 0x35, 0x91, 0x33}}, {0xE864, {0x82, 0x35, 0x91, 0x34}},
    {0xE816, {0x95, 0x32, 0x90, 0x31}}, {0xE817, {0x95, 0x32, 0x90, 0x33}},
    {0xE818, {0x95, 0x32, 0x97, 0x30}}, {0xE831, {0x95, 0x36, 0xB9, 0x37}},
    {0xE83B, {0x96, 0x30, 0xBA, 0x35}}, {0xE855, {0x96, 0x35, 0xB6, 0x30}},
};

const PrivateUse *privateUseOf(char16_t unit) {
  if (unit < 0xE78D || unit > 0xE864)
    return nullptr;
  for (const PrivateUse &p : kPrivateUse)
    if (p.unit == unit)
      return &p;
  return nullptr;
}

const PrivateUse *privateUseOf(const unsigned char *four) {
  for (const PrivateUse &p : kPrivateUse)
    if (std::equal(p.bytes, p.bytes + 4, four))
      return &p;
  return nullptr;
}

// True for the supplementary characters (as their surrogate pair at i) whose former four-byte
// codes now stand for private-use characters: text holding them is decoded sequence by
// sequence, so each of their two byte sequences gets its own character.
bool isRemappedPair(QStringView s, qsizetype i) {
  static constexpr char16_t kPairs[][2] = {{0xD840, 0xDC87}, {0xD840, 0xDC89}, {0xD840, 0xDCCC},
                                           {0xD845, 0xDDD7}, {0xD84A, 0xDD8F}, {0xD850, 0xDDFE}};
  if (i + 1 >= s.size())
    return false;
  for (const auto &p : kPairs)
    if (s[i].unicode() == p[0] && s[i + 1].unicode() == p[1])
      return true;
  return false;
}

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
      // EILSEQ or EINVAL: a private-use character the converter lacks, written with our own
      // table, or a lone surrogate, which becomes "?".
      out.resize(std::max<qsizetype>(out.size(), done + 4));
      char16_t unit;
      std::memcpy(&unit, in, 2);
      if (const PrivateUse *p = privateUseOf(unit)) {
        std::memcpy(out.data() + done, p->bytes, 4);
        done += 4;
      } else {
        out[done++] = '?';
      }
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
    if (len == 4) {
      if (const PrivateUse *p = privateUseOf(b + i)) {
        out += QChar(p->unit);
        i += 4;
        continue;
      }
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
  for (qsizetype i = 0; i < out.size(); ++i) {
    const char16_t u = out[i].unicode();
    if (isEscape(u) || (u >= 0xD840 && u <= 0xD850 && isRemappedPair(out, i)))
      return decodeBySequence(gbk);
  }
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

namespace {

bool writeAll(int fd, QByteArrayView bytes) {
  const char *p = bytes.data();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, size_t(std::min<qsizetype>(left, qsizetype(1) << 30)));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false; // ENOSPC, EFBIG, EIO …: the new file is incomplete
    p += n;
    left -= n;
  }
  return true;
}

// A new file beside target that no one else uses; -1 when the folder takes none.
int createTemporary(const QByteArray &target, QByteArray *name) {
  for (int attempt = 0; attempt < 64; ++attempt) {
    *name = target + ".tmp-" +
            QByteArray::number(QRandomGenerator::global()->generate64() & 0xFFFFFFFFFFFF, 36);
    const int fd = ::open(name->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST)
      return fd;
  }
  return -1;
}

} // namespace

bool writeFileAtomic(const QString &path, QByteArrayView bytes) {
  // A link is kept: the file it points at is the one replaced.
  QString resolved = path;
  const QFileInfo info(path);
  if (info.isSymLink() && !info.symLinkTarget().isEmpty())
    resolved = info.symLinkTarget();
  const QByteArray target = QFile::encodeName(resolved);

  QByteArray temporary;
  const int fd = createTemporary(target, &temporary);
  if (fd < 0)
    return false;
  // The new file keeps the old one's permissions.
  struct stat old;
  if (::stat(target.constData(), &old) == 0)
    ::fchmod(fd, old.st_mode & 07777);
  // Every step must succeed before the old file is let go: a write that fails (a full disk, a
  // size limit), a sync that fails or a close that reports a late error all leave the old
  // file in place and the new one removed.
  bool ok = writeAll(fd, bytes);
  ok = ok && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temporary.constData(), target.constData()) == 0;
  if (!ok) {
    ::unlink(temporary.constData());
    return false;
  }
  // The rename itself made durable; a folder that can't be synced is no failure of the write.
  const QByteArray folder = QFile::encodeName(QFileInfo(resolved).absolutePath());
  const int dfd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

bool writeLines(const QString &path, QByteArrayView gbk) {
  return writeFileAtomic(path, joinLinesCrLf(gbk));
}

bool writeLines(const QString &path, QStringView text) { return writeLines(path, encode(text)); }

} // namespace inkwren::codec
