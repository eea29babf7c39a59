#pragma once
// The encoded search key "[enkey]": the text as ECMAScript's encodeURI gives it. Every
// character other than the ASCII letters, the digits and the marks encodeURI leaves alone
// ( ; , / ? : @ & = + $ - _ . ! ~ * ' ( ) # ) becomes the percent-escapes of its UTF-8 bytes,
// upper-case hexadecimal. So 你好 gives %E4%BD%A0%E5%A5%BD.
//
// The key was once handed to a script engine inside single quotes, so a key that can't stand in
// such a literal (an apostrophe, a line break) or that encodeURI refuses (an unpaired
// surrogate) is used as it is. A backslash is encoded like any other character.
//
// Threads: any.
#include <QString>

namespace inkwren {

QString encodestr(const QString &text);

} // namespace inkwren
