#pragma once
// The service's own HTML pages. Every text that came from a user is HTML-escaped, and command
// links are built with commandLink(), so no name can break a page or a link.
// Thread-safe (pure functions).
#include "storage.h"

#include <QList>
#include <QString>

namespace inkwren::server::pages {

struct RankingList {
  QString name;
  QList<RankedNovel> novels;
};

QString home();
QString registerForm(const QString &message = {});
QString registered(const QString &user);
QString lostPassword();
QString help(const QString &title, const QString &body);
// Exchange 12: "webdiv"/"topdiv" blocks whose links are "book.php?id=N" (no ":").
QString rankings(const QList<RankingList> &lists);
// Exchange 13: one novel with a command link that adds it to the shelf.
QString novel(const NovelDetail &detail);
// Exchange 14: the skin catalogue; baseUrl ends with "/".
QString skins(const QList<Skin> &skins, const QString &baseUrl);
QString notFound();

} // namespace inkwren::server::pages
