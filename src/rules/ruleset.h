#pragma once
// The site rules: `rulestext` (record 1 of the rule file, one <dw> record per line), the site
// key of an address and the lookup of a site's rule record, and the installing of a new rule
// file (the service client fetches it).
//
// A rule record is 11 texts, s0 to s10, with "{{br}}" turned into CR LF; an empty list means
// there is no rule for the site. Callers look up an address with ruleFor(address), which is
// getdsbykey(geturlkey(address)), and go on only when the record is not empty.
//
// Threads: lookups (getdsbykey, ruleFor, rulestext) run on any thread, also while the main
// thread replaces `rulestext`: a lookup works on the old or on the new text as a whole.
// loadRules and installRules run on the main thread.
#include <QByteArray>
#include <QByteArrayList>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>

namespace inkwren {

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

  // Installs a new rule file: it has to be a rule file with site rules, then the file is
  // replaced, `ssreload` set and `rulestext` reloaded. False, with file and rules text as they
  // were, when the bytes are no such file or the file can't be written.
  bool installRules(const QByteArray &file);

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
