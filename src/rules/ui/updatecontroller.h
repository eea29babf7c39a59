#pragma once
// The update commands of the main window, bound to the update service: "更新" and "更新全部"
// with their stop role, the shelf menu's "下载更新", "更新全部" and "停止更新", the chapter
// menu's "选中章节", "空白章节", "章节名称及分卷名称" and "同步网络顺序", and "刷新". The
// status bar, the two buttons and the tree follow the service's signals.
//
// Main thread only.
#include <QObject>

namespace inkwren {

class FetchContext;
class Messages;
class RuleSet;
class ShellHost;
class ShelfWiring;
class UpdateService;

class UpdateController : public QObject {
  Q_OBJECT
public:
  // main: the main thread's fetch context, for the commands that read a table of contents on
  // the main thread; jobs make their own.
  UpdateController(ShellHost &shell, UpdateService &updates, ShelfWiring &shelf, RuleSet &rules,
                   const FetchContext &main, Messages &messages, QObject *parent = nullptr);

  void downbClick();
  void downallbClick();
  void N14Click();
  void N15Click();
  void N16Click();
  void N73Click();
  void N74Click();
  void N76Click();
  void N98Click();
  void refrebClick();

private:
  void setButtons(bool running);
  // The current book's rule record and its table of contents after s1; false when there is
  // no rule (nothing is fetched then).
  bool currentToc(QByteArrayList *rule, QByteArray *toc);
  bool refuseWithoutSelection();

  ShellHost &shell_;
  UpdateService &updates_;
  ShelfWiring &shelf_;
  RuleSet &rules_;
  const FetchContext &main_;
  Messages &messages_;
};

} // namespace inkwren
