#include "TestApplication.h"

#include <QApplication>

namespace testapp {

namespace {

int argc = 1;
char programName[] = "wImportKalvoro";
char *argv[] = {programName, nullptr};

// Without a display the tests run on the offscreen platform (scripts/test.sh sets it too).
void offscreenUnlessChosen() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace

void ensureApplication() {
    if (QApplication::instance())
        return;
    offscreenUnlessChosen();
    new wik::Application(argc, argv); // Qt holds it as the application instance
}

void ApplicationEnvironment::SetUp() {
    if (QApplication::instance())
        return;
    offscreenUnlessChosen();
    app_ = std::make_unique<wik::Application>(argc, argv);
}

} // namespace testapp
