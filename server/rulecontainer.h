#pragma once
// The rule file the desktop program downloads: text records, each a 32-bit little-endian length
// and that many GBK bytes, back to back; record 0 lists the search sites, record 1 the site
// rules ("<dw><wk>key</wk><s0>…</s0>…<s10>…</s10></dw>", one per line).
// Thread-safe (pure functions).
#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace inkwren::server {

// The records, or nothing when the bytes are not exactly a sequence of records.
std::optional<QList<QByteArray>> splitRuleContainer(QByteArrayView bytes);

// A file fit to be handed to every client: a whole container with a record 1 that holds at
// least one site rule. Otherwise false, with the reason in *why.
bool isPublishableRuleFile(QByteArrayView bytes, QString *why);

// Builds a container from record texts (used to make rule files).
QByteArray makeRuleContainer(const QList<QByteArray> &records);

} // namespace inkwren::server
