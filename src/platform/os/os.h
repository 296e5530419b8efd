#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QFile;

// The few calls whose working differs per operating system. platform/linux and platform/win32
// each define them once; the build compiles the folder of the target system.
namespace platform::os {

// True when the other end of a connected local socket runs as this user.
bool peerIsThisUser(qintptr socketDescriptor);

// The lock file the running instance of this user's channel called `name` holds for its whole
// life: one place per user, the same at every start, that other users can neither create,
// remove nor redirect; empty when there is none.
QString channelLockPath(const QString& name);

// Where that channel listens; empty when there is no place other users can neither reach nor
// take over.
QString channelPath(const QString& name);

// Makes a folder only this user can enter, or checks that an existing one is such a folder
// (never changing it). False when it cannot be had.
bool makePrivateFolder(const QString& path);

// True when both paths name one existing file (the same device and inode, or file index on
// Windows), through symbolic and hard links alike.
bool isSameFile(const QString& first, const QString& second);

// Puts what was written to an open file on the disk.
bool syncToDisk(QFile& file);

// The folder that holds the user's own data of every program ($XDG_DATA_HOME, else
// ~/.local/share, on Linux); read on every call.
QString userDataFolder();

// The token a launcher gave this start for the focus of the window it shows (empty when none).
// Read before the application object is made: the toolkit takes some of them out of the
// environment.
QByteArray launcherToken();

// The program file a start-with-login entry names for the running program.
QString startupProgramFile();

}  // namespace platform::os
