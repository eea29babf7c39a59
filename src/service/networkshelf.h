#pragma once
// The network bookshelf as the program's commands use it: upload one novel or the whole local
// shelf, download the network shelf into the local one, clear it. Only the four facts of a novel
// travel (name, author, category name, table-of-contents address).
//
// The network bookshelf window plugs in through setStackWindow: the question after a successful
// upload or clear offers to open it. Without a window the question is still asked (a headless
// run answers it "no").
//
// Threads: main thread only.
#include "service/serviceclient.h"

#include <functional>

namespace inkwren {

class Bookshelf;
class Messages;

class NetworkShelf {
public:
  NetworkShelf(ServiceClient &client, Bookshelf &shelf, Messages &messages);

  // Opens the network bookshelf window (behind the login guard); unset means there is none.
  void setStackWindow(std::function<void()> open) { openWindow_ = std::move(open); }

  // The local shelf's novels in tree order, each with its category's name.
  QList<StackEntry> localBooks() const;

  // Uploads the novel bookId; "当前没有选中小说!" when it is no novel on the shelf.
  // True when the service took it.
  bool upbook(const QString &bookId);
  // Uploads every novel of the local shelf (possibly none: "upcount=0").
  bool upbookall();
  // Adds every novel of the network shelf to the local shelf, in the network shelf's order;
  // novels already held (same name, author and address) are skipped, missing categories are
  // created. False when the list could not be read. Gives the number of novels added in *added.
  bool downstack(int *added = nullptr);
  // Adds entries to the local shelf as downstack does; gives the number added.
  int adddown(const QList<StackEntry> &entries);
  // Asks "确实要清空？" and on yes clears the network shelf. True when it was cleared.
  bool clearstack();

private:
  bool uploaded(std::optional<ServiceClient::Outcome> outcome, const QString &question);

  ServiceClient &client_;
  Bookshelf &shelf_;
  Messages &messages_;
  std::function<void()> openWindow_;
};

} // namespace inkwren
