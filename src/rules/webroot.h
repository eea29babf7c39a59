#pragma once
// The base address of the system's own web service, `webroot`: $INKWREN_WEBROOT when set,
// else the loopback default "http://127.0.0.1:8080/". It always ends with "/" (one is added
// when the variable lacks it), and every service address is it followed by a relative path.
//
// Threads: any.
#include <QByteArray>

namespace inkwren {

QByteArray webroot();

} // namespace inkwren
