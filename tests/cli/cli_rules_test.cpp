// The rule authors' commands of inkwren-cli: expr, key, rule and fetch.
#include "cli_fixture.h"
#include "core/codec.h"
#include "rules/rulefile.h"
#include "support/loopback_server.h"

#include <QFile>

using namespace inkwren;
using namespace inkwren::test;

namespace {

struct CliRules : CliFixture {
  void SetUp() override { ASSERT_EQ(cli({QStringLiteral("key"), QStringLiteral("x")}).status, 0); }
  QString file(const QString &name, const QByteArray &bytes) {
    QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
  }
  QByteArray bytesOut(const QStringList &args, const QByteArray &stdinBytes = {}) {
    QProcess p;
    p.start(QStringLiteral(INKWREN_CLI), QStringList{QStringLiteral("--home"), home()} + args);
    p.write(stdinBytes);
    p.closeWriteChannel();
    p.waitForFinished(30000);
    return p.readAllStandardOutput();
  }
};

} // namespace

TEST_F(CliRules, ExprRunsARuleFileOverAFileOrStandardInput) {
  const QString rule = file(QStringLiteral("rule.txt"),
                            codec::encode(QStringLiteral("{{1}}<b>{{t}}</b>\r\n{{2}}甲{{t}}乙\r\n")));
  const QByteArray page = codec::encode(QStringLiteral("头<b>甲丙</b>尾"));
  EXPECT_EQ(bytesOut({QStringLiteral("expr"), rule, file(QStringLiteral("in.html"), page)}),
            codec::encode(QStringLiteral("<b>乙丙</b>")));
  EXPECT_EQ(bytesOut({QStringLiteral("expr"), rule}, page), codec::encode(QStringLiteral("<b>乙丙</b>")));
  const QString withPath = file(QStringLiteral("path.txt"), "{{3}}(\\d+){{t}}[webpath]$1.html");
  EXPECT_EQ(bytesOut({QStringLiteral("expr"), QStringLiteral("--webpath"), QStringLiteral("http://s.example/b/"),
                      withPath},
                     "12"),
            QByteArray("http://s.example/b/12.html"));
  EXPECT_EQ(cli({QStringLiteral("expr"), dir.filePath(QStringLiteral("missing.txt"))}).status, 1);
}

TEST_F(CliRules, KeyAndRuleRecordLookup) {
  EXPECT_EQ(cli({QStringLiteral("key"), QStringLiteral("HTTP://WWW.Site.example/book/1/")}).out,
            QStringLiteral(".site.example\n"));
  QByteArray rec = "<dw><wk>.site.example</wk><s0>a</s0><s1>{{1}}x{{t}}y{{br}}{{2}}p{{t}}q</s1>";
  for (int n = 2; n <= 10; ++n)
    rec += "<s" + QByteArray::number(n) + ">" + (n == 6 ? codec::encode(QStringLiteral("正文")) : QByteArray()) +
           "</s" + QByteArray::number(n) + ">";
  rec += "</dw>";
  ASSERT_TRUE(codec::writeFileAtomic(home() + QStringLiteral("/db/bookset.dat"), RuleFile::build({"", rec})));
  auto found = cli({QStringLiteral("rule"), QStringLiteral("http://www.site.example/book/1/")});
  EXPECT_EQ(found.status, 0);
  EXPECT_EQ(found.out, QStringLiteral("s0=a\ns1={{1}}x{{t}}y\\r\\n{{2}}p{{t}}q\ns2=\ns3=\ns4=\ns5=\ns6=正文\n"
                                      "s7=\ns8=\ns9=\ns10=\n"));
  auto none = cli({QStringLiteral("rule"), QStringLiteral("http://other.example/")});
  EXPECT_EQ(none.status, 1);
  EXPECT_TRUE(none.out.isEmpty());
}

TEST_F(CliRules, FetchPrintsThePageWithoutLineBreaks) {
  LoopbackServer site;
  site.route("/p", HttpResponse::text(codec::encode(QStringLiteral("第一行\r\n第二行\n三"))));
  EXPECT_EQ(bytesOut({QStringLiteral("fetch"), QString::fromLatin1(site.url("/p"))}),
            codec::encode(QStringLiteral("第一行第二行三")));
  EXPECT_TRUE(bytesOut({QStringLiteral("fetch"), QString::fromLatin1(site.url("/missing"))}).isEmpty());
}
