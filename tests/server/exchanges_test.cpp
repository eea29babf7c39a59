// Every exchange of the desktop program against the running service, on both storage engines.
#include "engine_fixture.h"

#include "core/codec.h"
#include "rulecontainer.h"
#include "signing.h"

#include <QFile>

#include <QRegularExpression>

using namespace inkwren::test;
using inkwren::server::FormBody;

namespace {

const QString kBook = "<book><bn>(.*?)</bn><an>(.*?)</an><bt>(.*?)</bt><du>(.*?)</du></book>";
const QString kList = "<div class=\"webdiv\">(.*?)</div><div class=\"topdiv\">(.*?)</div>";
const QString kLink = "<a href=\"(.*?)\">(.*?)</a>";

Lines credentials(const QString &user, const QString &password) {
  return {{"username", user}, {"password", password}};
}

Lines withBooks(Lines lines, const QList<QStringList> &books, int upcount = -1) {
  for (int i = 0; i < books.size(); ++i) {
    const QByteArray n = QByteArray::number(i);
    lines << QPair<QByteArray, QString>{"bookname" + n, books[i][0]}
          << QPair<QByteArray, QString>{"authorname" + n, books[i][1]}
          << QPair<QByteArray, QString>{"booktype" + n, books[i][2]}
          << QPair<QByteArray, QString>{"downurl" + n, books[i][3]};
  }
  lines << QPair<QByteArray, QString>{"upcount",
                                      QString::number(upcount < 0 ? books.size() : upcount)};
  return lines;
}

QString htmlUnescape(QString s) {
  return s.replace("&lt;", "<")
      .replace("&gt;", ">")
      .replace("&quot;", "\"")
      .replace("&#39;", "'")
      .replace("&amp;", "&");
}

class Exchanges : public EngineTest {
protected:
  QList<QStringList> shelf(const QString &user) {
    const HttpResult r = server->post("iw_getstack.php", {{"username", user}});
    EXPECT_TRUE(r.text.contains("<ok>")) << r.text.toStdString();
    return records(r.text, kBook);
  }
};

TEST(FormBody, EncodesLikeTheDesktopProgramAndParsesTolerantly) {
  // Names stay, values are GBK bytes with upper-case %XX, "+" for a space, and two or more
  // lines end with "&".
  EXPECT_EQ(FormBody::encode({{"username", "a b"}, {"password", "墨!"}}),
            "username=a+b&password=%C4%AB%21&");
  EXPECT_EQ(FormBody::encode({{"username", "x"}}), "username=x");
  EXPECT_EQ(FormBody::encode({{"searchset", "k1,1\r\n"}, {"e", ""}}), "searchset=k1%2C1%0D%0A&e=&");

  const FormBody f = FormBody::parse("username=a+b&password=%c4%ab%21&empty=&&bare&x=1%&");
  EXPECT_EQ(f.value("username"), "a b");
  EXPECT_EQ(f.value("password"), "墨!");
  EXPECT_TRUE(f.has("empty"));
  EXPECT_TRUE(f.has("bare"));
  EXPECT_EQ(f.value("x"), "1%");
}

TEST_P(Exchanges, LoginAcceptsTheRegisteredPasswordOnly) {
  ASSERT_TRUE(server->registerUser("读者 甲", "secret12"));
  EXPECT_TRUE(
      server->post("iw_login.php", credentials("读者 甲", "secret12")).text.contains("<ok>"));
  for (const auto &[user, password] : QList<QPair<QString, QString>>{
           {"读者 甲", "secret13"}, {"读者 甲", ""}, {"读者甲", "secret12"}, {"", ""}}) {
    const HttpResult r = server->post("iw_login.php", credentials(user, password));
    EXPECT_EQ(r.status, 200);
    EXPECT_FALSE(r.text.contains("<ok>")) << user.toStdString() << "/" << password.toStdString();
  }
}

TEST_P(Exchanges, ExchangesWithAPasswordRefuseWrongCredentials) {
  ASSERT_TRUE(server->registerUser("alice", "secret12"));
  const Lines bad = credentials("alice", "wrong-pw");
  const QList<QPair<QString, Lines>> cases{
      {"iw_bookstackadd.php", withBooks(bad, {{"n", "a", "t", "u"}})},
      {"iw_bookstacksave.php", withBooks(bad, {})},
      {"iw_clearstack.php", bad},
      {"iw_searchsetsave.php", bad + Lines{{"searchset", "k,1\r\n"}}},
      {"iw_bookstackadd.php", withBooks(credentials("nobody", "x"), {{"n", "a", "t", "u"}})}};
  for (const auto &[path, lines] : cases) {
    const HttpResult r = server->post(path, lines);
    EXPECT_TRUE(r.text.contains("<loginfail>")) << path.toStdString();
    EXPECT_FALSE(r.text.contains("<ok>")) << path.toStdString();
  }
  EXPECT_TRUE(shelf("alice").isEmpty());
}

TEST_P(Exchanges, NetworkShelfAppendsReplacesAndClearsInOrder) {
  ASSERT_TRUE(server->registerUser("bob", "secret12"));
  const Lines who = credentials("bob", "secret12");
  const QStringList a{"斗破 苍穹", "天蚕土豆", "玄幻", "http://www.site.example/1/"};
  const QStringList b{"雪中悍刀行", "烽火戏诸侯", "武侠", "http://www.site.example/2/"};
  const QStringList c{"诡秘之主", "爱潜水的乌贼", "玄幻", "http://other.example/3/"};

  EXPECT_TRUE(server->post("iw_bookstackadd.php", withBooks(who, {a, b})).text.contains("<ok>"));
  // One more book, and one already held (same name, author and address), which is skipped.
  EXPECT_TRUE(server->post("iw_bookstackadd.php", withBooks(who, {c, a})).text.contains("<ok>"));
  EXPECT_EQ(shelf("bob"), (QList<QStringList>{a, b, c}));

  EXPECT_TRUE(server->post("iw_bookstacksave.php", withBooks(who, {c, a})).text.contains("<ok>"));
  EXPECT_EQ(shelf("bob"), (QList<QStringList>{c, a}));

  // upcount is trusted only as far as the books actually sent.
  EXPECT_TRUE(server->post("iw_bookstacksave.php", withBooks(who, {b}, 7)).text.contains("<ok>"));
  EXPECT_EQ(shelf("bob"), (QList<QStringList>{b}));
  EXPECT_TRUE(server->post("iw_bookstackadd.php", withBooks(who, {a, c}, 1)).text.contains("<ok>"));
  EXPECT_EQ(shelf("bob"), (QList<QStringList>{b, a}));

  EXPECT_TRUE(server->post("iw_clearstack.php", who).text.contains("<ok>"));
  EXPECT_TRUE(shelf("bob").isEmpty());
  // The same novel twice in one upload (only its category differs) is added once.
  const QStringList aElsewhere{a[0], a[1], "其他", a[3]};
  EXPECT_TRUE(
      server->post("iw_bookstackadd.php", withBooks(who, {a, aElsewhere})).text.contains("<ok>"));
  EXPECT_EQ(shelf("bob"), (QList<QStringList>{a}));
  // Saving an empty list empties the shelf.
  EXPECT_TRUE(server->post("iw_bookstacksave.php", withBooks(who, {})).text.contains("<ok>"));
  EXPECT_TRUE(shelf("bob").isEmpty());

  // Exchange 2 of an unknown user is a failure, not an empty shelf.
  EXPECT_FALSE(server->post("iw_getstack.php", {{"username", "ghost"}}).text.contains("<ok>"));
}

TEST_P(Exchanges, MalformedShelfUploadsFailAndChangeNothing) {
  ASSERT_TRUE(server->registerUser("carol", "secret12"));
  const Lines who = credentials("carol", "secret12");
  const QStringList a{"书", "作者", "类", "http://a.example/"};
  ASSERT_TRUE(server->post("iw_bookstackadd.php", withBooks(who, {a})).text.contains("<ok>"));
  Lines noCount = withBooks(who, {a});
  noCount.removeLast();
  Lines badCount = withBooks(who, {a});
  badCount.last().second = "x1";
  const QList<QPair<QString, Lines>> cases{
      {"no upcount", noCount},
      {"upcount not a number", badCount},
      {"a field that closes the record", withBooks(who, {{"x</bn><an>y", "a", "t", "u"}})},
      {"too many books", withBooks(who, {}, 5001)}};
  for (const auto &[what, lines] : cases) {
    const HttpResult r = server->post("iw_bookstacksave.php", lines);
    EXPECT_FALSE(r.text.contains("<ok>")) << what.toStdString();
    EXPECT_FALSE(r.text.contains("<loginfail>")) << what.toStdString();
  }
  EXPECT_EQ(shelf("carol"), (QList<QStringList>{a}));
}

TEST_P(Exchanges, SearchSetRoundTripsItsLinesExactly) {
  ASSERT_TRUE(server->registerUser("dave", "secret12"));
  // Nothing uploaded yet: no "<ok>", so the client keeps its own list.
  EXPECT_FALSE(server->post("iw_getsearchset.php", {{"username", "dave"}}).text.contains("<ok>"));
  const QString set = "k2,1\r\n中文站,0\r\nk 3,1\r\n";
  EXPECT_TRUE(server
                  ->post("iw_searchsetsave.php",
                         credentials("dave", "secret12") + Lines{{"searchset", set}})
                  .text.contains("<ok>"));
  const QString reply = server->post("iw_getsearchset.php", {{"username", "dave"}}).text;
  ASSERT_TRUE(reply.contains("<ok>"));
  const qsizetype from = reply.indexOf("<searchset>") + 11;
  EXPECT_EQ(reply.mid(from, reply.indexOf("</searchset>") - from), set);
  EXPECT_FALSE(server
                   ->post("iw_searchsetsave.php",
                          credentials("dave", "secret12") + Lines{{"searchset", "a</searchset>"}})
                   .text.contains("<ok>"));
}

TEST_P(Exchanges, RankingsComeFromTheShelvesOfThreeUsers) {
  const QStringList popular{"大奉打更人", "卖报小郎君", "玄幻", "http://a.example/1/"};
  const QStringList second{"庆余年", "猫腻", "历史", "http://a.example/2/"};
  const QStringList lone{"凡人修仙传", "忘语", "仙侠", "http://b.example/3/"};
  const QList<QPair<QString, QList<QStringList>>> users{
      {"u1", {popular, second}}, {"u2", {second, popular}}, {"u3", {popular, lone}}};
  for (const auto &[user, books] : users) {
    ASSERT_TRUE(server->registerUser(user, "secret12"));
    ASSERT_TRUE(server->post("iw_bookstackadd.php", withBooks(credentials(user, "secret12"), books))
                    .text.contains("<ok>"));
  }
  QString page = server->get("inkwren/iw_bookweb.php").text;
  page.remove(':'); // as the desktop program reads it
  const QList<QStringList> lists = records(page, kList);
  ASSERT_GE(lists.size(), 3);
  EXPECT_EQ(lists[0][0], "最多收藏");
  const QList<QStringList> top = records(lists[0][1], kLink);
  ASSERT_EQ(top.size(), 3);
  EXPECT_TRUE(top[0][1].startsWith("大奉打更人"));
  EXPECT_TRUE(top[1][1].startsWith("庆余年"));
  EXPECT_TRUE(top[2][1].startsWith("凡人修仙传"));
  EXPECT_EQ(lists[1][0], "最新加入");
  EXPECT_TRUE(records(lists[1][1], kLink)[0][1].startsWith("凡人修仙传"));
  // The most shelved category comes first among the category lists.
  EXPECT_TRUE(lists[2][0].startsWith("玄幻"));

  // The entry page of the first novel carries a command link that adds it.
  const QString path = top[0][0];
  EXPECT_FALSE(path.contains(':'));
  const QString entry = server->get("inkwren/" + path).text;
  const QList<QStringList> links = records(entry, kLink);
  const auto add = std::find_if(links.begin(), links.end(), [](const QStringList &l) {
    return l[0].startsWith("about:blank");
  });
  ASSERT_NE(add, links.end());
  const QString link = htmlUnescape((*add)[0]);
  EXPECT_EQ(bracketParameter(link, "act"), "addbook");
  EXPECT_EQ(bracketParameter(link, "bookname"), popular[0]);
  EXPECT_EQ(bracketParameter(link, "authorname"), popular[1]);
  EXPECT_EQ(bracketParameter(link, "booktype"), popular[2]);
  EXPECT_EQ(bracketParameter(link, "bookurl"), popular[3]);
  EXPECT_EQ(bracketParameter(link, "yange"), "1");
  EXPECT_EQ(server->get("inkwren/book.php?id=99999").status, 404);
}

TEST_P(Exchanges, HostileNamesBreakNeitherPagesNorLinks) {
  ASSERT_TRUE(server->registerUser("mallory", "secret12"));
  const QStringList evil{"<script>alert(1)</script>", "][act/x] a&b", "\"><img src=x>",
                         "http://e.example/?a=1&b=[2]"};
  ASSERT_TRUE(
      server->post("iw_bookstackadd.php", withBooks(credentials("mallory", "secret12"), {evil}))
          .text.contains("<ok>"));
  // The shelf gives the texts back exactly.
  EXPECT_EQ(shelf("mallory"), (QList<QStringList>{evil}));

  const QString page = server->get("inkwren/iw_bookweb.php").text;
  EXPECT_FALSE(page.contains("<script>"));
  EXPECT_FALSE(page.contains("<img"));
  QString flat = page;
  flat.remove(':');
  const QList<QStringList> lists = records(flat, kList);
  ASSERT_GE(lists.size(), 3);
  const QList<QStringList> top = records(lists[0][1], kLink);
  ASSERT_EQ(top.size(), 1);

  const QString entry = server->get("inkwren/" + top[0][0]).text;
  EXPECT_FALSE(entry.contains("<script>"));
  EXPECT_FALSE(entry.contains("<img"));
  const qsizetype at = entry.indexOf("href=\"about:blank");
  ASSERT_GE(at, 0);
  const qsizetype end = entry.indexOf('"', at + 6);
  const QString link = htmlUnescape(entry.mid(at + 6, end - at - 6));
  EXPECT_EQ(bracketParameter(link, "act"), "addbook");
  EXPECT_EQ(bracketParameter(link, "bookname"), evil[0]);
  EXPECT_EQ(bracketParameter(link, "authorname"), evil[1]);
  EXPECT_EQ(bracketParameter(link, "booktype"), evil[2]);
  EXPECT_EQ(bracketParameter(link, "bookurl"), evil[3]);
}

TEST_P(Exchanges, PublishedRulesUpdaterAndVersionReachClientsOnce) {
  // Nothing published: no markers.
  for (const char *ask :
       {"iw_set.php?iwv=100&stv=0", "iw_update.php?upv=0", "iw_checkup.php?iwv=100"}) {
    const QString r = server->get(ask).text;
    EXPECT_FALSE(r.contains("<si>") || r.contains("<st>") || r.contains("<ui>") ||
                 r.contains("<up>") || r.contains("[up]"))
        << ask;
  }

  QByteArray rule = "<dw><wk>.site.example</wk>";
  for (int n = 0; n <= 10; ++n)
    rule += QString("<s%1></s%1>").arg(n).toLatin1();
  rule += "</dw>\r\n";
  const QByteArray ruleFile = inkwren::server::makeRuleContainer({"<sw></sw>", rule, "extra"});
  const QString rulePath = server->dataDir() + "/in.dat";
  ASSERT_TRUE(inkwren::codec::writeFileAtomic(rulePath, ruleFile));
  ASSERT_EQ(server->admin({"publish-rules", rulePath}), 0);

  const QString offer = server->get("iw_set.php?iwv=100&stv=0").text;
  const QString stamp = offer.section("<si>", 1).section("</si>", 0, 0);
  const QString url = offer.section("<st>", 1).section("</st>", 0, 0);
  ASSERT_FALSE(stamp.isEmpty());
  EXPECT_EQ(server->getUrl(url).bytes, ruleFile);
  const QString again = server->get("iw_set.php?iwv=100&stv=" + stamp).text;
  EXPECT_FALSE(again.contains("<si>") || again.contains("<st>"));

  const QString keys = server->dataDir() + "/k";
  ASSERT_EQ(server->admin({"keygen", keys + ".key", keys + ".pub"}), 0);
  const QByteArray program = QByteArray("MZ\x90\0the updater program", 23);
  ASSERT_TRUE(inkwren::codec::writeFileAtomic(keys + ".exe", program));
  ASSERT_EQ(server->admin({"publish-updater", keys + ".exe", "--sign", keys + ".key"}), 0);
  const QString up = server->get("iw_update.php?upv=0").text;
  const QString upUrl = up.section("<up>", 1).section("</up>", 0, 0);
  ASSERT_FALSE(up.section("<ui>", 1).section("</ui>", 0, 0).isEmpty());
  EXPECT_EQ(server->getUrl(upUrl).bytes, program);
  QFile pub(keys + ".pub");
  ASSERT_TRUE(pub.open(QIODevice::ReadOnly));
  const QByteArray publicKey = QByteArray::fromHex(pub.readAll().trimmed());
  EXPECT_TRUE(
      inkwren::server::verifyDetached(program, server->getUrl(upUrl + ".sig").bytes, publicKey));

  ASSERT_EQ(server->admin({"set-version", "1.01"}), 0);
  for (const auto &[digits, newer] : QList<QPair<QString, bool>>{
           {"100", true}, {"101", false}, {"213", false}, {"", false}, {"1x", false}})
    EXPECT_EQ(server->get("iw_checkup.php?iwv=" + digits).text.contains("[up]"), newer)
        << digits.toStdString();
}

TEST_P(Exchanges, AdvertisementsAndSkinsAreServedAsTheClientReadsThem) {
  ASSERT_EQ(server->admin({"add-advert", "墨鹪 新版发布", "http://news.example/1"}), 0);
  ASSERT_EQ(server->admin({"add-advert", "第二条", "http://news.example/2"}), 0);
  EXPECT_NE(server->admin({"add-advert", "<b>x</b>", "http://x.example/"}), 0);
  EXPECT_EQ(records(server->get("iw_txtadv.php").text,
                    "<adv><advtxt>(.*?)</advtxt><advurl>(.*?)</advurl></adv>"),
            (QList<QStringList>{{"墨鹪 新版发布", "http://news.example/1"},
                                {"第二条", "http://news.example/2"}}));

  const QString skin = server->dataDir() + "/blue-1.skn";
  const QString picture = server->dataDir() + "/blue-1.gif";
  ASSERT_TRUE(inkwren::codec::writeFileAtomic(skin, "skin bytes"));
  ASSERT_TRUE(inkwren::codec::writeFileAtomic(picture, "GIF89a"));
  ASSERT_EQ(server->admin({"add-skin", skin, "蓝色 [经典]", picture}), 0);
  const QString page = server->get("iw_skin.php?iwv=100").text;
  const qsizetype at = page.indexOf("href=\"about:blank");
  ASSERT_GE(at, 0);
  const QString link = htmlUnescape(page.mid(at + 6, page.indexOf('"', at + 6) - at - 6));
  EXPECT_EQ(bracketParameter(link, "act"), "dskin");
  EXPECT_EQ(bracketParameter(link, "skinname"), "蓝色 [经典]");
  EXPECT_EQ(bracketParameter(link, "downname"), "blue-1.skn");
  EXPECT_EQ(server->getUrl(bracketParameter(link, "skinurl")).bytes, "skin bytes");
  EXPECT_EQ(server->getUrl(bracketParameter(link, "skinpic")).bytes, "GIF89a");
}

INSTANTIATE_TEST_SUITE_P(Engines, Exchanges, testing::Values(Engine::SQLite, Engine::PostgreSQL),
                         engineName);

} // namespace
