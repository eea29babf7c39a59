#pragma once
// The site rules: `rulestext` (record 1 of the rule file, one <dw> record per line), the site
// key of an address and the lookup of a site's rule record, and the refresh of the rule file
// from the service (`upset`).
//
// A rule record is 11 texts, s0 to s10, with "{{br}}" turned into CR LF; an empty list means
// there is no rule for the site. Callers look up an address with ruleFor(address), which is
// getdsbykey(geturlkey(address)), and go on only when the record is not empty.
//
// Threads: lookups (getdsbykey, ruleFor, rulestext) run on any thread, also while the main
// thread replaces `rulestext`: a lookup works on the old or on the new text as a whole.
// loadRules and upset run on the main thread (upset writes the settings).
#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>

namespace inkwren {

class Fetcher;
class Settings;

class RuleSet {
public:
  // ruleFilePath: "db/bookset.dat" in the data folder.
  explicit RuleSet(QString ruleFilePath);

  const QString &ruleFilePath() const { return path_; }

  // Record n of the rule file as text (see RuleFile::getsetstr); read from the file each time.
  QByteArray getsetstr(int n) const;
  // Replaces `rulestext` with record 1 of the rule file (empty when it can't be read).
  void loadRules();

  QByteArray rulestext() const;
  void setRulestext(const QByteArray &text);

  // The site key of an address: ASCII letters lower-cased, "\" made "/", "http://", "https://"
  // and "www" each made ".", runs of dots made one, and only what stands before the first "/"
  // kept. HTTP://WWW.Site.example/book/ gives .site.example.
  static QByteArray geturlkey(QByteArrayView address);

  // The rule record for a key: up to five candidates derived from the key, each placed into the
  // record pattern with every pattern character escaped except "." (which matches any
  // character), the first record in the rules text that matches winning. Empty when none
  // matches.
  QByteArrayList getdsbykey(const QByteArray &key) const;
  static QByteArrayList getdsbykey(const QString &rulestext, const QByteArray &key);
  QByteArrayList ruleFor(QByteArrayView address) const { return getdsbykey(geturlkey(address)); }

  // Every "{{br}}" (exactly so, case-sensitive) replaced by CR LF.
  static QByteArray shh(QByteArray text);

  // Asks the service at webroot for a newer rule file (exchange "iw_set.php?iwv=" version
  // digits "&stv=" stamp) and installs it: the file is replaced, then the stamp `setvid` is
  // stored, `ssreload` set and `rulestext` reloaded. Returns true when a new file was installed.
  // Any failure (network, a missing marker, a download that is not a rule file with site
  // rules, an unwritable file) leaves file, stamp and rules text as they were.
  bool upset(const Fetcher &fetcher, Settings &settings, const QByteArray &webroot);

  // Tells the add-book dialog to rebuild its list of search sites; set at start and after a new
  // rule file has arrived.
  bool ssreload() const { return ssreload_.load(); }
  void setSsreload(bool on) { ssreload_.store(on); }

private:
  struct Rules {
    QByteArray gbk;
    QString text; // decoded once for the lookups
  };
  std::shared_ptr<const Rules> snapshot() const;

  QString path_;
  mutable std::mutex mutex_;
  std::shared_ptr<const Rules> rules_;
  std::atomic<bool> ssreload_{true};
};

} // namespace inkwren
