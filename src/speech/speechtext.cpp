#include "speech/speechtext.h"

#include "core/codec.h"
#include "rules/regex.h"

namespace inkwren {

QByteArray getmarkstr(QByteArrayView gbk) {
  static const Regex twoBlanks(QStringView(u"(  )"));
  static const Regex tabOrWideSpace(QStringView(u"(\t|\u3000)"));
  QByteArray t = twoBlanks.replaceAll(gbk, " ");
  t = tabOrWideSpace.replaceAll(t, "");
  while (t.contains("\r\n\r\n"))
    t.replace("\r\n\r\n", "\r\n");
  return t;
}

QByteArray speakableText(QByteArrayView gbk) {
  return codec::joinLinesCrLf(getmarkstr(codec::joinLinesCrLf(gbk)));
}

int getlenxx(QByteArrayView gbk, int n) {
  const QString text = codec::decode(gbk);
  const qsizetype end = std::clamp<qsizetype>(n, 0, text.size());
  int position = 0;
  for (qsizetype i = 0; i < end; ++i) {
    const char16_t c = text[i].unicode();
    if (c < 32)
      continue;
    if (c < 127) {
      ++position;
      continue;
    }
    if (QChar::isLowSurrogate(c) && i > 0 && text[i - 1].isHighSurrogate())
      continue; // counted with its high half
    const qsizetype units = QChar::isHighSurrogate(c) && i + 1 < text.size() ? 2 : 1;
    position += int(codec::encode(QStringView(text).mid(i, units)).size());
  }
  return position;
}

} // namespace inkwren
