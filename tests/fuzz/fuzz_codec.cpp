// The codec: any bytes decode and encode back to themselves; any text without escape code
// points encodes and decodes back to itself; line joining and strict UTF-8 never fail.
#include "core/codec.h"
#include "fuzz_support.h"

using namespace inkwren;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
  fuzz::require(codec::encode(codec::decode(bytes)) == bytes, "bytes survive decoding");

  // The same bytes read as UTF-16 code units: a text of any characters.
  QString text(reinterpret_cast<const QChar *>(data), qsizetype(size / 2));
  bool plain = true;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t u = text[i].unicode();
    if (u >= codec::kEscapeBase && u <= codec::kEscapeBase + 0x7F)
      plain = false; // escapes stand for bytes and may join with the next into a character
    if (QChar::isHighSurrogate(u) && i + 1 < text.size() &&
        QChar::isLowSurrogate(text[i + 1].unicode()))
      ++i;
    else if (QChar::isSurrogate(u))
      text[i] = QChar(u'?'); // a lone surrogate becomes "?" by design
  }
  if (plain)
    fuzz::require(codec::decode(codec::encode(text)) == text, "characters survive encoding");

  const QByteArray joined = codec::joinLinesCrLf(bytes);
  fuzz::require(joined.isEmpty() == bytes.isEmpty(), "joined lines");
  fuzz::require(codec::joinLinesCrLf(joined) == joined, "joining is stable");
  (void)codec::decodeUtf8Strict(bytes);
  return 0;
}
