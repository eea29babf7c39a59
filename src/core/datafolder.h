#pragma once
// The data folder: where the settings, the library, the rule file, the chapter files, the
// reading template and the skins live. Every relative path of the system is taken relative to
// it. It is $INKWREN_HOME when set; else the executable's folder when that holds db/ (a portable
// installation); else $XDG_DATA_HOME/inkwren (~/.local/share/inkwren). On first start it is
// created and seeded from the installed data/ folder.
#include <QString>

namespace inkwren {

class DataFolder {
public:
  // Where the data folder is, by the rule above. homeOverride (a --home argument) wins over all.
  static QString locate(const QString &homeOverride = {});
  // The installed seed: data/ beside the executable, ../share/inkwren/data, or the source tree.
  static QString seedFolder();

  explicit DataFolder(QString root);

  // Creates the folder when missing and, when it is new or empty, copies the seed into it and
  // creates the empty library. Also makes sure the config/, db/ and book/ folders exist.
  // Returns false with a message when the folder can't be created or written, or when it holds
  // other things but is no data folder (nothing is created in it then). A data folder with a
  // library that can't be written is taken for reading only (readOnly()).
  bool prepare(QString *error, const QString &seed = seedFolder());
  // The folder could be read but not written when it was prepared.
  bool readOnly() const { return readOnly_; }
  // Holds one of the folders db/, config/ or book/.
  bool looksLikeDataFolder() const;

  const QString &root() const { return root_; }
  // root + "/" + a relative path ("db/book.dat", "book/12/345.txt").
  QString path(const QString &relative) const;

private:
  QString root_;
  bool readOnly_ = false;
};

} // namespace inkwren
