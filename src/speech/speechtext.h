#pragma once
// The text side of reading aloud: cleaning a chapter for speaking, and mapping the engine's
// word positions onto the text shown in the caption.
//
// Threads: any (pure functions).
#include <QByteArray>
#include <QString>

namespace inkwren {

// Cleans GBK text for speaking, each step on the result of the one before: every two blanks
// become one (so four become two), tabs and ideographic spaces (U+3000) are removed, and empty
// lines vanish (CR LF CR LF becomes CR LF until none is left).
QByteArray getmarkstr(QByteArrayView gbk);

// A chapter or text file as it is spoken and shown in the caption: lines ended by CR LF,
// cleaned with getmarkstr, lines ended by CR LF again.
QByteArray speakableText(QByteArrayView gbk);

// The position in GBK text where the engine's position n (counted in UTF-16 characters of the
// decoded text) lies, counted the way the caption counts: a line-break or other control
// character (below 32) counts 0, a printable ASCII character 1, any other character its GBK
// bytes (2 for a Chinese character). n beyond the text gives the count of the whole text.
int getlenxx(QByteArrayView gbk, int n);

} // namespace inkwren
