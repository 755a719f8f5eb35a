#pragma once
// The one application object of a test program, made as the program itself makes it (the name
// "wImportKalvoro", so the title is "wimportkalvoro"), and readable failures for Qt strings.
#include "Application.h"

#include <gtest/gtest.h>

#include <QString>

#include <memory>
#include <ostream>

// Readable failures: gtest prints Qt strings as text.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace testapp {

// Makes the application object unless there is one already. It is never destroyed: it lives to
// the end of the test program (for suites that set it up in their static suite set-up).
void ensureApplication();

// The application for the whole test program, made in the set-up and destroyed in the tear-down,
// so that what it holds is let go before the program ends (the leak check of the sanitizer
// build sees a clean end). Register it with ::testing::AddGlobalTestEnvironment.
class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<wik::Application> app_;
};

} // namespace testapp
