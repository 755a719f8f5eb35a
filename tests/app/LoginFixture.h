#pragma once
// Sign-in through the real login window: companies in the catalog of the test run's server, each
// with a database of its own, and the window as the operator has it after the menu's "Login".
#include "MessageRecorder.h"
#include "TestDb.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <memory>
#include <string>

namespace logintest {

using testdb::sqlLiteral;

// The lower-case hexadecimal SHA-256 digest of a text's bytes.
std::string sha256Hex(const std::string &text);

// " #<process>-<n>": a suffix that makes a company name unique on the shared catalog.
std::string uniqueSuffix();

// A company in the catalog with its own database, one operator and the program's grant (unless
// not `granted`). `hashType` "NULL" stores NULL. The program's key is stored in other spellings
// than its title ("WIMPORTKALVORO", "wImportKalvoro"): the sign-in compares it without regard to
// case. The catalog row goes with the object.
struct Company {
    std::unique_ptr<testdb::CompanyDb> db;
    std::string name;

    Company(std::string companyName, const std::string &user, const std::string &storedPassword,
            const std::string &hashType = "", bool granted = true);
    ~Company();
    Company(const Company &) = delete;
    Company &operator=(const Company &) = delete;
};

// The menu and the login window shown, the catalog connection on the test run's server, and the
// saved-login file in a data folder of the test's own. Needs the servers (skips without them).
class LoginWindow : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Types into the boxes and presses "Login".
    void attempt(const std::string &company, const std::string &user, const std::string &password);

    QTemporaryDir dataHome;
    MessageRecorder messages;
};

} // namespace logintest
