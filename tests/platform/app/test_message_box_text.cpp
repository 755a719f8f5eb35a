// The message boxes show their text as it is. An error's text often carries what came from
// outside: the service's answer ("Content = <html>..."), an order's JSON, a name typed at
// sign-in. A box that took such a text for markup would drop the tags, render the page, or load
// the images it names, and the operator would not read the message that was raised.
#include "MessageSink.h"
#include "ShownText.h"
#include "TestApplication.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include <memory>
#include <ostream>

namespace {

const auto *const environment = ::testing::AddGlobalTestEnvironment(new testapp::ApplicationEnvironment);

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

// A message that carries a huge answer (megabytes of a page that is not JSON) is cut for the
// box: laid out whole in one label it holds the window for minutes and makes a box many screens
// tall, its button out of reach. The box shows the beginning, at most 30 lines and 2,000
// characters, and a last line "..." where it is cut; a message within both limits is shown whole.
TEST(MessageBoxText, AHugeMessageIsCutToItsBeginning) {
    const QString prefix = QStringLiteral("Eroare - Eroare la parsare Json. Content = ");
    QString page;
    while (page.size() < 20'000'000)
        page += QStringLiteral("<p>Serviciul este in mentenanta, reveniti mai tarziu.</p>\n");
    const QString oneLine = prefix + QString(20'000'000, QChar(u'x'));
    QString shortLines;
    for (int i = 1; i <= 40; ++i)
        shortLines += QString::number(i) + u'\n';
    const QString thirtyLines = shortLines.section(u'\n', 0, 29);
    const QString fullSize = prefix + QString(2000 - prefix.size(), QChar(u'y'));
    // A character outside the basic plane is not split at the cut.
    const QString astral = QString(1999, QChar(u'z')) + QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral("tail");

    const struct {
        const char *name;
        QString text;
        QString shown;
    } cases[] = {
        {"20 MB in lines", prefix + page, (prefix + page).section(u'\n', 0, 29) + QStringLiteral("\n...")},
        {"20 MB in one line", oneLine, oneLine.left(2000) + QStringLiteral("\n...")},
        {"40 short lines", shortLines, thirtyLines + QStringLiteral("\n...")},
        {"30 lines", thirtyLines, thirtyLines},
        {"2,000 characters", fullSize, fullSize},
        {"a pair at the cut", astral, astral.left(1999) + QStringLiteral("\n...")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(shownByBox(true, c.text), c.shown);
    }
    EXPECT_EQ(shownByBox(false, oneLine), oneLine.left(2000) + QStringLiteral("\n..."));
}

} // namespace
