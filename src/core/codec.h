#pragma once
// The system's text codec. Stored text, pages and rule records are "GBK" byte strings; they are
// encoded as GB18030, GBK's superset, so every GBK character keeps its bytes and characters GBK
// lacks survive instead of turning into "?".
//
// Decoding is lossless: a byte that does not start a valid sequence becomes one of 128 escape
// code points (U+F780 + byte - 0x80), which encode back to that very byte. A regular expression
// run over decoded text therefore never damages bytes it did not match, and a UTF-8 page stays
// raw bytes until a rule converts it. Every character survives encoding, the private-use ones
// that older editions gave two-byte codes among them (they get their current four-byte codes).
// All functions are thread-safe.
#include <QByteArray>
#include <QString>
#include <optional>

namespace inkwren::codec {

// First of the 128 code points that stand for undecodable bytes 0x80..0xFF.
inline constexpr char16_t kEscapeBase = 0xF780;

QString decode(QByteArrayView gbk);
QByteArray encode(QStringView text);

// Strict UTF-8: a malformed sequence gives nullopt, never replacement characters.
std::optional<QString> decodeUtf8Strict(QByteArrayView utf8);

// The lines of a text, every line break (CR, LF or CR LF) made CR LF and every line ended by
// CR LF, as a text file is read back line by line. Empty input gives empty text.
QByteArray joinLinesCrLf(QByteArrayView bytes);

// A whole text file as lines joined with CR LF (each line ended by CR LF); empty text when the
// file is missing or can't be read.
QByteArray readtxt(const QString &path);

// Writes text as GBK lines each ended by CR LF. The file is replaced atomically: it is either
// the old one or the complete new one. Returns false when it could not be written.
bool writeLines(const QString &path, QByteArrayView gbk);
bool writeLines(const QString &path, QStringView text);

// Writes bytes as they are, atomically: into a new file beside the old one, synced, then
// renamed over it. When any write, the sync or the close fails (a full disk, a file size
// limit), the old file stays as it was, the new one is removed and the result is false.
bool writeFileAtomic(const QString &path, QByteArrayView bytes);

} // namespace inkwren::codec
