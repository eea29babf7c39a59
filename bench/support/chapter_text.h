#pragma once
// About 10 KB of GBK text in paragraphs, as a chapter file holds it.
#include "core/codec.h"

#include <QByteArray>

namespace inkwren::bench {

inline QByteArray chapterText() {
  const QString paragraph = QStringLiteral(
      "\u3000\u3000清晨的薄雾还没有散去，山道上已经传来了马蹄声。少年背着长剑，沿着溪水一路向北，"
      "他要在天黑之前赶到镇上，把师父的书信交给客栈的掌柜。\r\n\r\n");
  QByteArray text;
  while (text.size() < 10 * 1024)
    text += codec::encode(paragraph);
  return text;
}

} // namespace inkwren::bench
