#pragma once
// The long-lived services of one run, built by the program's entry (or a test) and passed to
// whatever needs them. Nothing in the system reaches them any other way.
#include <QString>

namespace inkwren {

class DataFolder;
class Settings;
class Database;
class Messages;

struct Services {
  DataFolder &folder;
  Settings &settings;
  Database &db;
  Messages &messages;
  // The service's base address, ending in "/".
  QString webroot;
};

// $INKWREN_WEBROOT when set (with a "/" added when missing), else the loopback default.
QString defaultWebroot();

} // namespace inkwren
