#include "pages.h"

#include "html.h"

namespace inkwren::server::pages {

namespace {

QString page(const QString &title, const QString &body) {
  return "<!DOCTYPE html>\r\n<html><head><meta charset=\"GBK\"><title>" + htmlEscape(title) +
         "</title>\r\n<style>body{font-family:sans-serif;font-size:14px;margin:12px}"
         ".webdiv{font-weight:bold;margin-top:12px}.topdiv a{display:block;padding:2px 8px}"
         ".item{display:inline-block;width:120px;margin:6px;text-align:center}"
         ".item img{width:110px;height:80px}label{display:block;margin:6px 0}</style>"
         "</head>\r\n<body>\r\n" +
         body + "\r\n</body></html>\r\n";
}

QString novelTitle(const RankedNovel &n) {
  return htmlEscape(n.bookname) +
         (n.authorname.isEmpty() ? QString() : " / " + htmlEscape(n.authorname));
}

} // namespace

QString home() {
  return page("墨鹪", "<h1>墨鹪 小说下载阅读器</h1>\r\n<ul>"
                      "<li><a href=\"inkwren/iw_bookweb.php\">小说榜单</a></li>"
                      "<li><a href=\"member.php?mod=register\">免费申请账号</a></li>"
                      "<li><a href=\"forum.php?mod=forumdisplay&amp;fid=38\">使用指南</a></li>"
                      "<li><a href=\"forum.php?mod=viewthread&amp;tid=5&amp;extra=\">中文朗读</a>"
                      "</li><li><a href=\"forum.php\">问题反馈</a></li></ul>");
}

QString registerForm(const QString &message) {
  QString body = "<h1>免费申请账号</h1>\r\n";
  if (!message.isEmpty())
    body += "<p class=\"error\">" + htmlEscape(message) + "</p>\r\n";
  body += "<form method=\"post\" action=\"member.php?mod=register\" accept-charset=\"GBK\">"
          "<label>用户名：<input name=\"username\" maxlength=\"32\" required></label>"
          "<label>密码：<input name=\"password\" type=\"password\" minlength=\"6\" "
          "maxlength=\"64\" required></label>"
          "<label>确认密码：<input name=\"password2\" type=\"password\" minlength=\"6\" "
          "maxlength=\"64\" required></label>"
          "<button type=\"submit\">注册</button></form>";
  return page("免费申请账号", body);
}

QString registered(const QString &user) {
  return page("注册成功",
              "<h1>注册成功</h1>\r\n<p>账号 " + htmlEscape(user) + " 已经可以在墨鹪中登录。</p>");
}

QString lostPassword() {
  return page("忘记密码",
              "<h1>忘记密码？</h1>\r\n<p>密码只以不可还原的形式保存，无法找回。请联系本服务的"
              "管理员，由管理员在服务器上为你设置新密码：</p>\r\n"
              "<pre>inkwren-server admin passwd 用户名</pre>\r\n"
              "<p>新密码从标准输入读入（或取自环境变量 INKWREN_PASSWORD）。</p>");
}

QString help(const QString &title, const QString &body) {
  return page(title, "<h1>" + htmlEscape(title) + "</h1>\r\n" + body);
}

QString rankings(const QList<RankingList> &lists) {
  QString body = "<h1>小说榜单</h1>\r\n";
  bool any = false;
  for (const RankingList &list : lists) {
    any = any || !list.novels.isEmpty();
    body += "<div class=\"webdiv\">" + htmlEscape(list.name) + "</div><div class=\"topdiv\">";
    for (const RankedNovel &n : list.novels)
      body += "<a href=\"book.php?id=" + QString::number(n.id) + "\">" + novelTitle(n) + "</a>";
    body += "</div>\r\n";
  }
  if (!any)
    body += "<p>还没有人收藏小说。</p>";
  return page("小说榜单", body);
}

QString novel(const NovelDetail &d) {
  const QString link = commandLink({{"act", "addbook"},
                                    {"bookname", d.novel.bookname},
                                    {"authorname", d.novel.authorname},
                                    {"booktype", d.booktype},
                                    {"bookurl", d.downurl},
                                    {"yange", "1"}});
  return page(d.novel.bookname,
              "<h1>" + htmlEscape(d.novel.bookname) + "</h1>\r\n<p>作者：" +
                  htmlEscape(d.novel.authorname) + "</p>\r\n<p>分类：" + htmlEscape(d.booktype) +
                  "</p>\r\n<p>目录地址：" + htmlEscape(d.downurl) + "</p>\r\n<p>收藏人数：" +
                  QString::number(d.novel.readers) + "</p>\r\n<p><a href=\"" + htmlEscape(link) +
                  "\">加入书架</a></p>\r\n"
                  "<p><a href=\"iw_bookweb.php\">返回榜单</a></p>");
}

QString skins(const QList<Skin> &skins, const QString &baseUrl) {
  QString body;
  for (const Skin &s : skins) {
    const QString file = baseUrl + "files/" + s.filename;
    const QString picture = s.picture.isEmpty() ? QString() : baseUrl + "files/" + s.picture;
    const QString link = commandLink({{"act", "dskin"},
                                      {"skinname", s.displayname},
                                      {"downname", s.filename},
                                      {"skinurl", file},
                                      {"skinpic", picture}});
    body += "<div class=\"item\"><a href=\"" + htmlEscape(link) + "\"><img src=\"" +
            htmlEscape(picture) + "\" title=\"" + htmlEscape(s.displayname) + "\"></a><br>" +
            htmlEscape(s.displayname) + "</div>\r\n";
  }
  if (skins.isEmpty())
    body = "<p>暂时没有可下载的皮肤。</p>";
  return page("更多皮肤", body);
}

QString notFound() {
  return page("没有找到", "<h1>没有找到</h1><p>没有这个页面。</p>");
}

} // namespace inkwren::server::pages
