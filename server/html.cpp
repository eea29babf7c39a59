#include "html.h"

namespace inkwren::server {

QString htmlEscape(const QString &text) {
  QString out;
  out.reserve(text.size() + 16);
  for (const QChar c : text) {
    switch (c.unicode()) {
    case '&':
      out += "&amp;";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '"':
      out += "&quot;";
      break;
    case '\'':
      out += "&#39;";
      break;
    case '\r':
    case '\n':
      break;
    default:
      out += c;
    }
  }
  return out;
}

QString commandValue(const QString &text) {
  QString out;
  out.reserve(text.size() + 8);
  for (const QChar c : text) {
    switch (c.unicode()) {
    case ' ':
      out += "%20";
      break;
    case '[':
      out += "$@";
      break;
    case ']':
      out += "@$";
      break;
    case '\r':
    case '\n':
      break;
    default:
      out += c;
    }
  }
  return out;
}

QString commandLink(const QList<QPair<QString, QString>> &parameters) {
  QString link = "about:blank?";
  for (const auto &[name, value] : parameters)
    link += "[" + name + "/" + commandValue(value) + "]";
  return link;
}

} // namespace inkwren::server
