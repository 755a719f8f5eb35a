// Saving replaces the file atomically: a failure part way leaves the last good file as it was.
#include "Error.h"
#include "MemTableFixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

namespace {

class SaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        table = makeLoginTable();
        table->open();
        table->append();
        table->setValue(QStringLiteral("company"), QString(200, QChar(u'N')));
        table->setValue(QStringLiteral("username"), QStringLiteral("nou"));
    }

    QString file(const QString &name = QStringLiteral("ZeltoPalun.json")) const {
        return dir.filePath(name);
    }

    // Saves, expecting the failure message the operator would read.
    void expectSaveFails(const QString &path) const {
        try {
            table->saveToFile(path);
            FAIL() << "the save reported success";
        } catch (const wik::Error &e) {
            const std::string prefix =
                "Fisierul " + QDir::toNativeSeparators(path).toStdString() + " nu poate fi scris: ";
            EXPECT_EQ(e.message().substr(0, prefix.size()), prefix) << e.message();
            const std::string reason = e.message().substr(prefix.size());
            EXPECT_FALSE(reason.empty() || reason == "Unknown error") << "no reason given";
        }
    }

    QTemporaryDir dir;
    std::unique_ptr<wik::MemTable> table;
};

TEST_F(SaveTest, SavingOverALongerFileReplacesItCompletely) {
    table->saveToFile(file(QStringLiteral("fresh.json")));
    writeBytes(file(), QByteArray(10000, '#'));
    table->saveToFile(file());
    EXPECT_EQ(readBytes(file()), readBytes(file(QStringLiteral("fresh.json"))));

    auto loaded = makeLoginTable();
    loaded->loadFromFile(file());
    EXPECT_EQ(loaded->text(QStringLiteral("username")), QStringLiteral("nou"));
}

TEST_F(SaveTest, MissingFoldersAreCreated) {
    const QString path = dir.filePath(QStringLiteral("a/b/ZeltoPalun.json"));
    table->saveToFile(path);
    auto loaded = makeLoginTable();
    loaded->loadFromFile(path);
    EXPECT_EQ(loaded->recordCount(), 1);
}

TEST_F(SaveTest, AFolderThatCannotBeCreatedIsReported) {
    writeBytes(file(QStringLiteral("blocker")), "not a folder");
    expectSaveFails(dir.filePath(QStringLiteral("blocker/sub/ZeltoPalun.json")));
}

// Each way of failing leaves the previous file byte for byte and no temporary file behind.
struct FailureCase {
    const char *name;
    // Sets up the failure once the old file is in place, and undoes it after the save.
    std::function<void(const QString &target)> arrange;
    std::function<void(const QString &target)> restore;
};

class SaveFailure : public SaveTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SaveFailure, LeavesTheLastGoodFileAsItWas) {
    const auto &c = GetParam();
    if (std::string(c.name) == "ReadOnlyFolder" && ::geteuid() == 0)
        GTEST_SKIP() << "the superuser writes into read-only folders";

    // A target name so long that the temporary name beside it (name plus a suffix) is refused.
    const QString target = std::string(c.name) == "TemporaryFileCannotBeCreated"
                               ? file(QString(250, QChar(u'z')) + QStringLiteral(".json"))
                               : file();
    auto old = makeLoginTable();
    old->open();
    old->append();
    old->setValue(QStringLiteral("company"), QStringLiteral("Vechea firma"));
    old->saveToFile(target);
    const QByteArray before = readBytes(target);

    c.arrange(target);
    expectSaveFails(target);
    c.restore(target);

    EXPECT_EQ(readBytes(target), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1)
        << QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).join(u' ').toStdString();
}

rlimit savedLimit;

INSTANTIATE_TEST_SUITE_P(
    Ways, SaveFailure,
    ::testing::Values(
        FailureCase{"TemporaryFileCannotBeCreated", [](const QString &) {}, [](const QString &) {}},
        // The file system refuses the bytes beyond the first 64, as a full disk would.
        FailureCase{"WriteFailsPartWay",
                    [](const QString &) {
                        std::signal(SIGXFSZ, SIG_IGN);
                        ::getrlimit(RLIMIT_FSIZE, &savedLimit);
                        rlimit small = savedLimit;
                        small.rlim_cur = 64;
                        ::setrlimit(RLIMIT_FSIZE, &small);
                    },
                    [](const QString &) { ::setrlimit(RLIMIT_FSIZE, &savedLimit); }},
        FailureCase{"ReadOnlyFolder",
                    [](const QString &target) {
                        QFile::setPermissions(QFileInfo(target).absolutePath(),
                                              QFile::ReadOwner | QFile::ExeOwner);
                    },
                    [](const QString &target) {
                        QFile::setPermissions(QFileInfo(target).absolutePath(),
                                              QFile::ReadOwner | QFile::WriteOwner |
                                                  QFile::ExeOwner);
                    }}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
