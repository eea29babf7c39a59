#include "search/threadsearchxx.h"

#include "core/codec.h"
#include "rules/fetchcontext.h"
#include "rules/textmatch.h"
#include "search/threadsearch.h"

namespace inkwren {
namespace {

// Blanks and control characters off both ends.
QString trimmed(const QString &text) {
  qsizetype b = 0, e = text.size();
  while (b < e && text[b].unicode() <= u' ')
    ++b;
  while (e > b && text[e - 1].unicode() <= u' ')
    --e;
  return text.mid(b, e - b);
}

} // namespace

TThreadSearchxx::TThreadSearchxx(TThreadSearch &owner, int slot, int siterow, QString key,
                                 QString enkey, SearchType searchtype)
    : slot(slot), siterow(siterow), owner_(owner), key_(std::move(key)), enkey_(std::move(enkey)),
      searchtype_(searchtype) {}

TThreadSearchxx::~TThreadSearchxx() {
  wait();
}

void TThreadSearchxx::start() {
  if (!thread_.joinable())
    thread_ = std::thread([this] { Execute(); });
}

void TThreadSearchxx::wait() {
  if (thread_.joinable())
    thread_.join();
}

QString TThreadSearchxx::searchAddress(const SearchSite &site, SearchType type, const QString &key,
                                       const QString &enkey) {
  QString address = type == SearchType::ByAuthor ? site.s[3] : site.s[2];
  address.replace(QStringLiteral("[key]"), key, Qt::CaseSensitive);
  address.replace(QStringLiteral("[enkey]"), enkey, Qt::CaseSensitive);
  return address;
}

void TThreadSearchxx::cut(const QString &page, const SearchSite &site, const SearchQuery &query,
                          const QString &searchDirectory, const RuleInterpreter &interpreter,
                          const std::function<bool(SearchHit &&)> &deliver) {
  const Regex pattern(QStringView(site.s[5]));
  if (!pattern.valid())
    return;
  std::optional<QList<TextMatch>> matches = TextMatch::all(pattern, page);
  if (!matches)
    return;
  QString urlTemplate = site.s[9];
  urlTemplate.replace(QStringLiteral("[webpath]"), searchDirectory, Qt::CaseSensitive);
  const bool byAuthor = query.type == SearchType::ByAuthor;
  for (const TextMatch &m : *matches) {
    SearchHit hit;
    hit.name = trimmed(interpreter.regsp(site.s[6], m.groups));
    hit.author = trimmed(interpreter.regsp(site.s[7], m.groups));
    const QString &value = byAuthor ? hit.author : hit.name;
    if (!value.contains(query.key, Qt::CaseSensitive))
      continue;
    if (query.exact && value != query.key)
      continue;
    hit.site = site.name;
    hit.latest = trimmed(interpreter.regsp(site.s[8], m.groups));
    hit.url = trimmed(interpreter.regsp(urlTemplate, m.groups));
    if (!deliver(std::move(hit)))
      return;
  }
}

void TThreadSearchxx::Execute() {
  // Nothing may leave the thread: an error ends this site's search, hits handed over stay.
  try {
    const SearchSite &site = owner_.site(siterow);
    const QByteArray address = codec::encode(searchAddress(site, searchtype_, key_, enkey_));
    const QByteArray directory = WebPath::getup(address);
    FetchContext context(owner_.settings(), &owner_.cancelFlag());
    context.webpath.set(directory);
    if (!owner_.searching())
      return;
    const QByteArray body = context.fetcher.opurl(address, {}, owner_.timeoutMs(), 0);
    if (!owner_.searching())
      return;
    const QString page = context.interpreter.guizstr(codec::decode(body), site.s[4]);
    if (!owner_.searching())
      return;
    const SearchQuery query{searchtype_, key_, owner_.query().exact};
    cut(page, site, query, codec::decode(directory), context.interpreter,
        [this](SearchHit &&hit) { return owner_.handHit(std::move(hit)); });
    if (owner_.searching())
      owner_.handSiteDone(siterow);
  } catch (...) {
  }
}

} // namespace inkwren
