// The #include lines of src/ follow the layers of the build: a core library includes only the
// core libraries below it and never a window header (ours under ui/, or Qt Widgets and
// WebEngine); a window folder includes only the window folders below it and never shell/; the
// command line uses core libraries only. The table mirrors the links in CMakeLists.txt.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Layers = std::map<std::string, std::vector<std::string>>;

// Each library and the libraries it links directly ("x/ui" for a window library).
const Layers kLinks = {
    {"core", {}},
    {"shelf", {"core"}},
    {"rules", {"shelf"}},
    {"reader", {"rules"}},
    {"service", {"rules"}},
    {"search", {"service"}},
    {"speech", {"reader"}},
    {"shell", {"reader", "service", "search", "speech"}},
    {"cli", {"shell"}},
    {"core/ui", {"core"}},
    {"shelf/ui", {"shelf", "core/ui"}},
    {"rules/ui", {"rules", "shelf/ui"}},
    {"reader/ui", {"reader", "rules/ui"}},
    {"search/ui", {"search", "reader/ui"}},
    {"service/ui", {"service", "search/ui"}},
    {"speech/ui", {"speech", "reader/ui"}},
    {"shell/ui", {"shell", "service/ui", "speech/ui"}},
};

void closeOver(const std::string &lib, std::set<std::string> &out) {
  if (!out.insert(lib).second)
    return;
  for (const std::string &dep : kLinks.at(lib))
    closeOver(dep, out);
}

std::set<std::string> reachable(const std::string &lib) {
  std::set<std::string> out;
  closeOver(lib, out);
  return out;
}

// The library a path under src/ belongs to ("rules/update/x.h" is in "rules").
std::string libraryOf(const std::string &path) {
  const auto slash = path.find('/');
  if (slash == std::string::npos)
    return {};
  const std::string top = path.substr(0, slash);
  const std::string rest = path.substr(slash + 1);
  if (!kLinks.count(top))
    return {};
  if (rest.rfind("ui/", 0) == 0 && kLinks.count(top + "/ui"))
    return top + "/ui";
  return top;
}

bool isWindowLibrary(const std::string &lib) {
  return lib.size() > 3 && lib.ends_with("/ui");
}

// Qt's window headers: Widgets and WebEngine, by module path or class header name.
bool isWindowHeader(const std::string &header) {
  static const std::regex modules(R"(^(QtWidgets|QtWebEngine\w*|QtOpenGLWidgets|QtQuickWidgets)/)");
  static const std::set<std::string> classes = {"QAbstractButton",   "QAbstractItemView",
                                                "QApplication",      "QCheckBox",
                                                "QColorDialog",      "QComboBox",
                                                "QDialog",           "QDialogButtonBox",
                                                "QFileDialog",       "QFontDialog",
                                                "QFormLayout",       "QFrame",
                                                "QGridLayout",       "QGroupBox",
                                                "QHBoxLayout",       "QHeaderView",
                                                "QInputDialog",      "QLabel",
                                                "QLayout",           "QLineEdit",
                                                "QListView",         "QListWidget",
                                                "QMainWindow",       "QMenu",
                                                "QMenuBar",          "QMessageBox",
                                                "QPlainTextEdit",    "QProgressBar",
                                                "QPushButton",       "QRadioButton",
                                                "QScrollArea",       "QScrollBar",
                                                "QSlider",           "QSpinBox",
                                                "QSplitter",         "QStackedWidget",
                                                "QStatusBar",        "QStyle",
                                                "QSystemTrayIcon",   "QTabWidget",
                                                "QTableView",        "QTableWidget",
                                                "QTextBrowser",      "QTextEdit",
                                                "QToolBar",          "QToolButton",
                                                "QTreeView",         "QTreeWidget",
                                                "QTreeWidgetItem",   "QVBoxLayout",
                                                "QWidget",           "QWidgetAction",
                                                "QWebEngineView",    "QWebEnginePage",
                                                "QWebEngineProfile", "QWebEngineSettings"};
  return std::regex_search(header, modules) || classes.count(header) > 0;
}

struct Include {
  std::string file;   // relative to src/
  std::string header; // as written
  bool quoted;
};

std::vector<Include> includesUnder(const fs::path &src) {
  static const std::regex line(R"(^\s*#\s*include\s*([<"])([^">]+)[">])");
  std::vector<Include> out;
  for (const auto &entry : fs::recursive_directory_iterator(src)) {
    const std::string ext = entry.path().extension().string();
    if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp"))
      continue;
    const std::string file = fs::relative(entry.path(), src).generic_string();
    std::ifstream in(entry.path());
    std::string text;
    std::smatch m;
    while (std::getline(in, text))
      if (std::regex_search(text, m, line))
        out.push_back({file, m[2].str(), m[1].str() == "\""});
  }
  return out;
}

// The rule for one include; empty when it is allowed, else why not.
std::string violation(const Include &inc) {
  // Every file dialog goes through the program's FileDialogs, which picks the desktop's own
  // dialog or Qt's translated one.
  if (!inc.quoted && inc.header.find("QFileDialog") != std::string::npos &&
      inc.file != "core/ui/filedialogs.cpp")
    return "file dialogs are made by core/ui/filedialogs.h only";
  std::string from = libraryOf(inc.file);
  if (inc.file == "shell/ui/main.cpp")
    from = "shell/ui"; // the windowed program
  if (from.empty())
    return {};
  if (!inc.quoted)
    return !isWindowLibrary(from) && isWindowHeader(inc.header)
               ? from + " is no window library but includes <" + inc.header + ">"
               : std::string();
  const std::string to = libraryOf(inc.header);
  if (to.empty())
    return {};
  if (!reachable(from).count(to))
    return from + " may not include " + to + " (\"" + inc.header + "\")";
  return {};
}

TEST(Layers, IncludeLinesFollowTheLayersOfTheBuild) {
  const std::vector<Include> includes = includesUnder(INKWREN_SOURCE_DIR);
  ASSERT_FALSE(includes.empty());
  for (const Include &inc : includes) {
    const std::string why = violation(inc);
    EXPECT_TRUE(why.empty()) << inc.file << ": " << why;
  }
}

TEST(Layers, TheRulesCatchWrongArrows) {
  struct Case {
    Include include;
    bool allowed;
  };
  const Case cases[] = {
      {{"rules/update/threaddown.cpp", "shelf/chapterstore.h", true}, true},
      {{"shelf/bookshelf.cpp", "rules/ruleset.h", true}, false}, // core → higher
      {{"core/settings.cpp", "core/ui/startup.h", true}, false}, // core → ui
      {{"rules/regex.cpp", "QWidget", false}, false},            // core → Widgets
      {{"reader/page.cpp", "QtWebEngineWidgets/QWebEngineView", false}, false},
      {{"shelf/ui/booktree.cpp", "shell/ui/mainform.h", true}, false}, // ui → shell
      {{"search/ui/x.cpp", "shell/appcontext.h", true}, false},
      {{"search/ui/x.cpp", "service/ui/login.h", true}, false}, // ui → higher ui
      {{"service/ui/panels.cpp", "search/ui/tsbform.h", true}, true},
      {{"cli/update.cpp", "shell/appcontext.h", true}, true},
      {{"cli/update.cpp", "shelf/ui/booktree.h", true}, false}, // cli → windows
      {{"shell/ui/main.cpp", "reader/ui/htmlviews.h", true}, true},
      {{"core/ui/startup.cpp", "QWidget", false}, true},
      {{"speech/ui/local.cpp", "QFileDialog", false}, false}, // past FileDialogs
      {{"shelf/ui/x.cpp", "QtWidgets/QFileDialog", false}, false},
      {{"core/ui/filedialogs.cpp", "QFileDialog", false}, true},
  };
  for (const Case &c : cases)
    EXPECT_EQ(violation(c.include).empty(), c.allowed)
        << c.include.file << " → " << c.include.header;
}

} // namespace
