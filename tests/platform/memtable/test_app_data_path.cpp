// Where the saved-login file lives on this workstation.
#include "AppDataPath.h"

#include <gtest/gtest.h>

#include <QDir>

namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const QByteArray &value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char *name_;
    bool had_;
    QByteArray old_;
};

TEST(SavedLoginPath, LiesDirectlyInTheUsersDataFolder) {
    ScopedEnv xdg("XDG_DATA_HOME", "/tmp/wik-xdg-data");
    EXPECT_EQ(wik::savedLoginFilePath(), QStringLiteral("/tmp/wik-xdg-data/ZeltoPalun.json"));
}

TEST(SavedLoginPath, DefaultsToTheHomesLocalShare) {
    ScopedEnv xdg("XDG_DATA_HOME", QByteArray());
    ScopedEnv home("HOME", "/tmp/wik-home");
    EXPECT_EQ(wik::savedLoginFilePath(),
              QStringLiteral("/tmp/wik-home/.local/share/ZeltoPalun.json"));
}

} // namespace
