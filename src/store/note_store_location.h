#pragma once

#include <QString>
#include <functional>

// Where the note file lives. Portable: a "Zettara.mdb" beside the program is used as it is.
// Installed: there is none, so the note file is the user's own in their data folder, copied on
// first use from the supplied database the package installs. The program never makes an empty
// store: with neither file the user's path is given back untouched and opening it fails.
class NoteStoreLocation {
  public:
    NoteStoreLocation(const QString& programFolder, const QString& userFolder,
                      QString suppliedFile);

    // For the running program: its folder, the user's data folder (platform::os::userDataFolder)
    // with the program's title, and the supplied database of the installation it was built for.
    static NoteStoreLocation forThisProgram();

    // The note file of the layout found, without touching anything.
    QString path() const;
    // path(), after copying the supplied database to the user's missing note file (0600, in
    // folders made 0700, under a temporary name renamed into place, never over an existing
    // file). Raises platform::Error when the copy cannot be made.
    QString prepare() const;

  protected:
    // Runs when the copy is complete under its temporary name and not yet renamed. Empty in
    // the program; a test's subclass throws here to stand for a crash at the worst moment.
    std::function<void()> beforeRename;

  private:
    void copySupplied(const QString& target) const;

    QString programFile_;
    QString userFile_;
    QString suppliedFile_;
};
