#pragma once
// Text put into the service's pages and command links.
// Thread-safe (pure functions).
#include <QList>
#include <QPair>
#include <QString>

namespace inkwren::server {

// For HTML text and attribute values: & < > " ' become character references; CR and LF are
// dropped so that a value stays on its line.
QString htmlEscape(const QString &text);

// One value of a command link as the desktop program reads it back: it cuts a value at the
// first "]" and then turns "%20" into a space, "$@" into "[" and "@$" into "]". So a space is
// written "%20", "[" as "$@" and "]" as "@$"; line breaks are dropped.
QString commandValue(const QString &text);

// "about:blank?[name/value]…" with every value encoded as above (not yet HTML-escaped).
QString commandLink(const QList<QPair<QString, QString>> &parameters);

} // namespace inkwren::server
