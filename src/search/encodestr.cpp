#include "search/encodestr.h"

namespace inkwren {
namespace {

bool keptAsIs(char16_t c) {
  if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))
    return true;
  return QStringView(u";,/?:@&=+$-_.!~*'()#").contains(QChar(c));
}

bool breaksTheLiteral(char16_t c) {
  return c == u'\'' || c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029;
}

} // namespace

QString encodestr(const QString &text) {
  static const char kHex[] = "0123456789ABCDEF";
  QString out;
  out.reserve(text.size() * 3);
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (breaksTheLiteral(c))
      return text;
    if (keptAsIs(c)) {
      out += QChar(c);
      continue;
    }
    char32_t code = c;
    if (QChar::isHighSurrogate(c)) {
      if (i + 1 >= text.size() || !QChar::isLowSurrogate(text[i + 1].unicode()))
        return text;
      code = QChar::surrogateToUcs4(c, text[++i].unicode());
    } else if (QChar::isLowSurrogate(c)) {
      return text;
    }
    const QByteArray utf8 = QString::fromUcs4(&code, 1).toUtf8();
    for (char b : utf8) {
      const auto u = static_cast<unsigned char>(b);
      out += u'%';
      out += QLatin1Char(kHex[u >> 4]);
      out += QLatin1Char(kHex[u & 15]);
    }
  }
  return out;
}

} // namespace inkwren
