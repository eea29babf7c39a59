// The service client's silent exchanges: rule-set and updater refresh, the advertisements, the
// rankings lists, and the addresses of the service's pages.
#include "service/serviceclient.h"

#include "core/codec.h"
#include "core/settings.h"
#include "rules/fetcher.h"
#include "rules/httpclient.h"
#include "rules/regex.h"
#include "rules/ruleset.h"
#include "service/updater.h"

namespace inkwren {
namespace {

constexpr int kTimeoutMs = 30000;

const QString kAdvertPattern =
    QStringLiteral("<adv><advtxt>(.*?)</advtxt><advurl>(.*?)</advurl></adv>");
const QString kListPattern =
    QStringLiteral("<div class=\"webdiv\">(.*?)</div><div class=\"topdiv\">(.*?)</div>");
const QString kLinkPattern = QStringLiteral("<a href=\"(.*?)\">(.*?)</a>");

} // namespace

std::optional<ServiceClient::Published>
ServiceClient::published(HttpClient &client, QByteArrayView relative, QByteArrayView stampTag,
                         QByteArrayView addressTag) const {
  const HttpResult reply = client.get(address(relative));
  if (!reply.ok)
    return std::nullopt;
  const QByteArray stampOpen = '<' + stampTag.toByteArray() + '>';
  const QByteArray addressOpen = '<' + addressTag.toByteArray() + '>';
  if (!reply.body.contains(stampOpen) || !reply.body.contains(addressOpen))
    return std::nullopt;
  const auto where = block(reply.body, addressOpen, "</" + addressTag.toByteArray() + '>');
  const auto stamp = block(reply.body, stampOpen, "</" + stampTag.toByteArray() + '>');
  // A block without its end tag gives no address: nothing is fetched.
  if (!where || where->trimmed().isEmpty() || !stamp)
    return std::nullopt;
  return Published{where->trimmed(), *stamp};
}

bool ServiceClient::upset(RuleSet &rules) {
  std::unique_ptr<HttpClient> client = fetcher_.creathttp(kTimeoutMs);
  if (!client)
    return false;
  const auto found =
      published(*client, "iw_set.php?iwv=" + versionDigits() + "&stv=" +
                             codec::encode(settings_.value(Settings::setvid)),
                "si", "st");
  if (!found)
    return false;
  const HttpResult file = client->get(found->address);
  if (!file.ok || !rules.installRules(file.body))
    return false;
  // The stamp is stored only after the file has been written.
  settings_.store(Settings::setvid, codec::decode(found->stamp));
  return true;
}

bool ServiceClient::upup(Updater &updater) {
  std::unique_ptr<HttpClient> client = fetcher_.creathttp(kTimeoutMs);
  if (!client)
    return false;
  const auto found = published(
      *client, "iw_update.php?upv=" + codec::encode(settings_.value(Settings::upvid)), "ui", "up");
  if (!found)
    return false;
  const HttpResult program = client->get(found->address);
  if (!program.ok || program.body.isEmpty())
    return false;
  const HttpResult signature = client->get(found->address + ".sig");
  // An updater is only kept together with a signature that proves it ours.
  if (!signature.ok || !updater.install(program.body, signature.body))
    return false;
  settings_.store(Settings::upvid, codec::decode(found->stamp));
  return true;
}

QList<Advert> ServiceClient::txtadvlist() const {
  return advertRecords(get("iw_txtadv.php").body);
}

QList<Advert> ServiceClient::advertRecords(const QByteArray &reply) {
  QList<Advert> out;
  for (const QStringList &f : records(reply, kAdvertPattern))
    if (f.size() == 2)
      out.append({f[0], f[1]});
  return out;
}

QList<RankingList> ServiceClient::toplists() const {
  return rankingRecords(get("inkwren/iw_bookweb.php").body);
}

QList<RankingList> ServiceClient::rankingRecords(const QByteArray &reply) {
  QByteArray flat = reply;
  flat.replace(':', QByteArray());
  QList<RankingList> out;
  const Regex links{QStringView(kLinkPattern)};
  for (const QStringList &f : records(flat, kListPattern)) {
    if (f.size() != 2)
      continue;
    RankingList list{f[0], {}};
    links.forEach(f[1], [&](const Regex::Spans &s) {
      auto group = [&](int k) {
        return s.start(k) < 0 ? QString() : f[1].mid(s.start(k), s.end(k) - s.start(k));
      };
      list.links.append({group(1), group(2)});
      return true;
    });
    out.append(list);
  }
  return out;
}

QString ServiceClient::bookwebPage() const {
  return codec::decode(address("inkwren/iw_bookweb.php"));
}

QString ServiceClient::rankingPage(const QString &path) const {
  return codec::decode(address("inkwren/")) + path;
}

QString ServiceClient::webPage(WebPage page) const {
  const char *relative = "";
  switch (page) {
  case WebPage::Home:
    break;
  case WebPage::Forum:
    relative = "forum.php";
    break;
  case WebPage::Guide:
    relative = "forum.php?mod=forumdisplay&fid=38";
    break;
  case WebPage::Speech:
    relative = "forum.php?mod=viewthread&tid=5&extra=";
    break;
  case WebPage::Register:
    relative = "member.php?mod=register";
    break;
  case WebPage::LostPassword:
    relative = "member.php?mod=logging&action=login&viewlostpw";
    break;
  }
  return codec::decode(address(relative));
}

} // namespace inkwren
