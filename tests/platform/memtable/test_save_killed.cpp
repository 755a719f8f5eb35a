// The program killed while it saves the remembered login: whatever the moment, the file on the
// disk is a complete document, the one saved before or the one being saved, and it reads back.
// A child process saves two large documents in turn, without end; the test kills it at random
// moments, many times over, and reads the file after each kill.
#include "Error.h"
#include "MemTable.h"
#include "MemTableFixture.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <random>
#include <thread>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Values {
    QString company;
    QString username;
};

std::unique_ptr<wik::MemTable> tableWith(const Values &v) {
    // The sign-in's fields, without its size limits, so that one save takes long enough to be
    // interrupted at every stage (writing, syncing, renaming).
    auto table = std::make_unique<wik::MemTable>(QStringLiteral("dsLogin"));
    table->addField(QStringLiteral("company"), 0);
    table->addField(QStringLiteral("username"), 0);
    table->open();
    table->append();
    table->setValue(QStringLiteral("company"), v.company);
    table->setValue(QStringLiteral("username"), v.username);
    return table;
}

// Which of the two documents the file holds: 'A', 'B', or '?' for anything else.
char whichDocument(const QByteArray &bytes, const QByteArray &a, const QByteArray &b) {
    if (bytes == a)
        return 'A';
    if (bytes == b)
        return 'B';
    return '?';
}

TEST(SaveKilled, TheFileIsAlwaysTheOldOrTheNewCompleteDocument) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("ZeltoPalun.json"));
    const QString refs = dir.filePath(QStringLiteral("refs"));
    ASSERT_TRUE(QDir().mkpath(refs));

    // Of different lengths and contents, so that a stump, or a mix of both, matches neither.
    const Values a{QStringLiteral("Firma A ") + QString(150'000, QChar(u'\u0219')),
                   QStringLiteral("ion ") + QString(40'000, QChar(u'a'))};
    const Values b{QStringLiteral("Firma B ") + QString(90'000, QChar(u'b')),
                   QStringLiteral("maria ") + QString(60'000, QChar(u'\u021b'))};
    const auto tableA = tableWith(a);
    const auto tableB = tableWith(b);
    tableA->saveToFile(refs + QStringLiteral("/a.json"));
    tableB->saveToFile(refs + QStringLiteral("/b.json"));
    const QByteArray bytesA = readBytes(refs + QStringLiteral("/a.json"));
    const QByteArray bytesB = readBytes(refs + QStringLiteral("/b.json"));
    ASSERT_NE(bytesA, bytesB);

    // The last good file, and how long one save takes here, to spread the kills over it.
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 3; ++i)
        tableA->saveToFile(path);
    const qint64 saveMicros = std::max<qint64>(timer.nsecsElapsed() / 3000, 200);

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed) + ", one save " + std::to_string(saveMicros) + " us");
    std::mt19937 random(seed);
    // From right after the start to about three saves in: before the first save ends, in the
    // middle of either save, between saves.
    std::uniform_int_distribution<qint64> delay(0, 3 * saveMicros);

    int seen[2] = {0, 0};
    for (int round = 0; round < 40; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Only the save runs here; the child never returns into the test.
            try {
                for (;;) {
                    tableB->saveToFile(path);
                    tableA->saveToFile(path);
                }
            } catch (...) {
                ::_exit(3);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the saving process ended by itself (a save failed), status " << status;

        const char which = whichDocument(readBytes(path), bytesA, bytesB);
        ASSERT_NE(which, '?') << "round " << round << ": the file is neither document, "
                              << readBytes(path).size() << " bytes";
        ++seen[which - 'A'];
        auto loaded = tableWith({});
        loaded->loadFromFile(path);
        const Values &expected = which == 'A' ? a : b;
        ASSERT_EQ(loaded->recordCount(), 1);
        EXPECT_TRUE(loaded->text(QStringLiteral("company")) == expected.company) << "round " << round;
        EXPECT_TRUE(loaded->text(QStringLiteral("username")) == expected.username) << "round " << round;
    }
    // The kills fell both before and after a save completed.
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);

    // A kill between the moment the finished temporary file gets its name and the rename over
    // the file can leave that temporary behind: beside the file, under the file's name and a
    // suffix, never in its place.
    for (const QString &name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
        EXPECT_TRUE(name == QStringLiteral("ZeltoPalun.json") ||
                    (name.startsWith(QStringLiteral("ZeltoPalun.json.")) && name.size() == 22))
            << name.toStdString();

    // And the next save, by a program that runs to its end, replaces the file as usual.
    tableB->saveToFile(path);
    EXPECT_EQ(readBytes(path), bytesB);
}

} // namespace
