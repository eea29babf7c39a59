#pragma once
// The file extension of downloaded picture data, told by its first two bytes (`getpt`):
// ".bmp", ".jpg", ".gif", ".pcx", ".png", ".psd", ".ras", ".sgi" or ".tif", and ".jpg" for
// anything unknown or empty. Threads: any.
#include <QByteArray>

namespace inkwren {

QByteArray getpt(QByteArrayView data);

} // namespace inkwren
