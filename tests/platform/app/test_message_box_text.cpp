// The message boxes show their text as it is. An error's text often carries what came from
// outside: the service's answer ("Content = <html>..."), an order's JSON, a name typed at
// sign-in. A box that took such a text for markup would drop the tags, render the page, or load
// the images it names, and the operator would not read the message that was raised.
#include "Application.h"
#include "MessageSink.h"
#include "ShownText.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include <memory>
#include <ostream>

// Readable failures: gtest prints Qt strings as text.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "wImportKalvoro";
        static char *argv[] = {name, nullptr};
        if (!QApplication::instance())
            app_ = std::make_unique<wik::Application>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<wik::Application> app_;
};
const auto *const environment = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

// Shows the box through the dialog sink and reads it while it is open.
QString shownByBox(bool error, const QString &text) {
    QString read = QStringLiteral("(no box)");
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (const auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")))
            read = shownText(label);
        box->buttons().front()->click();
    });
    wik::DialogMessageSink sink;
    if (error)
        sink.showError(nullptr, QStringLiteral("wimportkalvoro"), text);
    else
        sink.showInformation(nullptr, QStringLiteral("wimportkalvoro"), text);
    return read;
}

TEST(MessageBoxText, MarkupInAMessageIsShownAsWritten) {
    const QString texts[] = {
        QStringLiteral("Eroare apel API Kalvoro - (getCmdC) EROARE! StatusCode = 404, Content = "
                       "<html><body><h1>Not Found</h1><script>x()</script></body></html>."),
        QStringLiteral("Eroare - Eroare la parsare Json. Content = <!DOCTYPE html><p>502</p>"),
        QStringLiteral("Aplicatia wimportkalvoro nu este disponibila pentru user-ul <b>ion</b>."),
        QStringLiteral("<img src=\"file:///etc/hostname\">"),
        QStringLiteral("a &amp; b &lt;c&gt;"),
    };
    for (const QString &text : texts) {
        EXPECT_EQ(shownByBox(true, text), text);
        EXPECT_EQ(shownByBox(false, text), text);
    }
}

} // namespace
