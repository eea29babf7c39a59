#include "formbody.h"

#include "core/codec.h"

namespace inkwren::server {

namespace {
int hexValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  return -1;
}
} // namespace

QByteArray percentDecode(QByteArrayView text) {
  QByteArray out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '+') {
      out.append(' ');
    } else if (c == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
               hexValue(text[i + 2]) >= 0) {
      out.append(char(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
      i += 2;
    } else {
      out.append(c);
    }
  }
  return out;
}

FormBody FormBody::parse(QByteArrayView body) {
  FormBody form;
  qsizetype start = 0;
  while (start <= body.size()) {
    qsizetype end = body.indexOf('&', start);
    if (end < 0)
      end = body.size();
    const QByteArrayView piece = body.sliced(start, end - start);
    start = end + 1;
    if (piece.isEmpty())
      continue;
    const qsizetype eq = piece.indexOf('=');
    const QByteArrayView rawName = eq < 0 ? piece : piece.first(eq);
    const QByteArrayView rawValue = eq < 0 ? QByteArrayView() : piece.sliced(eq + 1);
    const QString name = codec::decode(percentDecode(rawName));
    if (!form.m_fields.contains(name))
      form.m_fields.insert(name, codec::decode(percentDecode(rawValue)));
  }
  return form;
}

QByteArray FormBody::encode(const QList<QPair<QByteArray, QString>> &lines) {
  static const char hex[] = "0123456789ABCDEF";
  QByteArray body;
  for (qsizetype n = 0; n < lines.size(); ++n) {
    if (n > 0)
      body.append('&');
    body.append(lines[n].first).append('=');
    for (const char c : codec::encode(lines[n].second)) {
      const auto u = static_cast<unsigned char>(c);
      if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9')) {
        body.append(c);
      } else if (u == ' ') {
        body.append('+');
      } else {
        body.append('%').append(hex[u >> 4]).append(hex[u & 15]);
      }
    }
  }
  if (lines.size() >= 2)
    body.append('&');
  return body;
}

} // namespace inkwren::server
