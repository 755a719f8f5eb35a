#pragma once
// Where the workstation keeps the tool's own files: the saved-login file lives directly in the
// current user's roaming application-data folder.
#include <QString>

namespace wik {

// The current user's roaming application-data folder: on Windows the roaming AppData known
// folder, elsewhere the per-user data folder ($XDG_DATA_HOME, by default ~/.local/share).
// Empty when the platform cannot say.
QString roamingAppDataFolder();

// `fileName` directly in that folder (no subfolder of its own); the bare file name, relative to
// the working directory, when the folder cannot be determined.
QString roamingAppDataFile(const QString &fileName);

// The file that remembers the last company and user name typed at sign-in.
QString savedLoginFilePath();

} // namespace wik
