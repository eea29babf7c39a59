#include "rules/imagetype.h"

namespace inkwren {

QByteArray getpt(QByteArrayView data) {
  struct Signature {
    unsigned char first, second;
    const char *extension;
  };
  static constexpr Signature kSignatures[] = {
      {0x42, 0x4D, ".bmp"}, {0xFF, 0xD8, ".jpg"}, {0x47, 0x49, ".gif"},
      {0x0A, 0x05, ".pcx"}, {0x89, 0x50, ".png"}, {0x38, 0x42, ".psd"},
      {0x59, 0xA6, ".ras"}, {0x01, 0xDA, ".sgi"}, {0x49, 0x49, ".tif"},
  };
  if (data.size() >= 2) {
    const auto a = static_cast<unsigned char>(data[0]);
    const auto b = static_cast<unsigned char>(data[1]);
    for (const Signature &s : kSignatures)
      if (s.first == a && s.second == b)
        return QByteArray(s.extension);
  }
  return QByteArray(".jpg");
}

} // namespace inkwren
