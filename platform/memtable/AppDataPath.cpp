#include "AppDataPath.h"

#include <QDir>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <knownfolders.h>
#include <shlobj.h>
#endif

namespace wik {

QString roamingAppDataFolder() {
#ifdef Q_OS_WIN
    // Qt's generic data location is the local AppData folder on Windows; the file belongs in the
    // roaming one, which follows the user from workstation to workstation.
    PWSTR folder = nullptr;
    QString result;
    if (SUCCEEDED(
            ::SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &folder)))
        result = QDir::fromNativeSeparators(QString::fromWCharArray(folder));
    ::CoTaskMemFree(folder); // owed even when the call fails
    return result;
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#endif
}

QString roamingAppDataFile(const QString &fileName) {
    const QString folder = roamingAppDataFolder();
    if (folder.isEmpty())
        return fileName;
    return QDir(folder).filePath(fileName);
}

QString savedLoginFilePath() {
    return roamingAppDataFile(QStringLiteral("ZeltoPalun.json"));
}

} // namespace wik
