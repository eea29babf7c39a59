#pragma once
// Find and replace in the chapter editor's text: exact, case-sensitive matches. Pure
// functions, any thread.
#include <QString>

namespace inkwren::findreplace {

// The first occurrence of find at or after from, or -1 (also for an empty find text).
qsizetype findNext(QStringView text, qsizetype from, QStringView find);

// Replaces every occurrence of find, scanning on after each inserted replacement, so a
// replacement that contains the find text is never searched again and the call always ends.
// count (when given) receives the number of replacements.
QString replaceAll(QStringView text, QStringView find, QStringView replacement,
                   int *count = nullptr);

} // namespace inkwren::findreplace
