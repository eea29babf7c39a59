#pragma once
// The service's windows inside the program: the login dialog and the network bookshelf
// window, and the main window's commands that use the service.
//
//   N31 "用户登录" and the toolbar's RzToolButton1: the login dialog, whoever is logged in.
//   N32 "退出登录": log out (enabled only while someone is logged in).
//   viewstackb, Nviewstackb, Nwebstackview: the network bookshelf window (behind the login).
//   ToolButton20, N17, N26: upload the whole shelf; N25 the novel selected on the shelf,
//   RzToolButton2 the novel open for reading.
//   RzToolButton3, N40, N27: download the network shelf; N41: clear it.
//
// The dialog becomes the service client's login dialog (the login guard and a refused password
// open it) and the window the network shelf's window (offered after an upload or a clear).
// Made once by the program's entry, after the shelf. Main thread only.
#include "shelf/ui/platform.h"

#include <QString>

#include <functional>
#include <memory>

class QDialog;

namespace inkwren {

class Messages;
class NetworkShelf;
class ServiceClient;
class Settings;
class ShelfWiring;
class ShellHost;
class Tloginform;
class Twebstack;

// The parts of the program's graph the service's windows work on.
struct ServiceModel {
  ServiceClient &service;
  NetworkShelf &netshelf;
  Settings &settings;
  Messages &messages;
};

class ServiceWiring {
public:
  // setTitle sets the text of the main window's title label.
  ServiceWiring(ShellHost &shell, ShelfWiring &shelf, ServiceModel model,
                std::function<void(const QString &)> setTitle, UrlOpener *urls = nullptr);
  ~ServiceWiring();

  // Makes a login current: the credentials, the title "墨鹪 " + name, "退出登录" enabled.
  void login(const QString &user, const QString &password);
  // Forgets the login: the title is the product name again, "退出登录" disabled.
  void logout();
  // Shows the login dialog.
  void showLogin();
  // Opens the network bookshelf window when someone is (or gets) logged in.
  void webstackview();

  Tloginform &loginform() { return *loginform_; }
  Twebstack &webstack() { return *webstack_; }

  // How a dialog is shown: modally by default (tests drive it themselves).
  std::function<void(QDialog &)> showModal;

private:
  ShellHost &shell_;
  ServiceModel model_;
  std::function<void(const QString &)> setTitle_;
  std::unique_ptr<UrlOpener> ownUrls_;
  std::unique_ptr<Tloginform> loginform_;
  std::unique_ptr<Twebstack> webstack_;
};

} // namespace inkwren
