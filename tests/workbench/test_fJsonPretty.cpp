#include "TestApplication.h"
#include "u_fJsonPretty.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>

namespace {

class JsonViewer : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testapp::ensureApplication(); }
    void SetUp() override {
        fJsonPretty = new TfJsonPretty();
        memo = fJsonPretty->findChild<QPlainTextEdit *>("Memo1");
        label = fJsonPretty->findChild<QLabel *>("Label1");
        ASSERT_TRUE(memo && label);
    }
    void TearDown() override {
        delete fJsonPretty;
        fJsonPretty = nullptr;
    }

    // Runs `whileShown` inside the modal showing started by the workbench's call, then closes
    // the window the way the operator does (the close command).
    static void showModallyAndThen(const QString &json, const QString &client, const QString &id,
                                   const std::function<void()> &whileShown) {
        QTimer::singleShot(0, fJsonPretty, [whileShown] {
            whileShown();
            fJsonPretty->close();
        });
        showOrderJson(json, client, id);
    }

    static void type(QWidget *target, const QString &text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(target, &press);
        }
    }

    QPlainTextEdit *memo = nullptr;
    QLabel *label = nullptr;
};

// ---------------------------------------------------------------------------------------------
// What the memo holds after a showing: the laid-out text or the text as stored, then one line
// break. The memo keeps lines; its plain text joins them with "\n".
// ---------------------------------------------------------------------------------------------

struct MemoCase {
    const char *name;
    std::string stored;
    std::string memoText;
};

void PrintTo(const MemoCase &c, std::ostream *os) { *os << c.name; }

class MemoContent : public JsonViewer, public ::testing::WithParamInterface<MemoCase> {};

TEST_P(MemoContent, IsTheLaidOutOrStoredTextAndOneLineBreak) {
    const auto &c = GetParam();
    fJsonPretty->pJsonString = QString::fromStdString(c.stored);
    fJsonPretty->pLabel = QStringLiteral("Client = X, Id comanda = Y");
    fJsonPretty->show();
    EXPECT_EQ(memo->toPlainText().toStdString(), c.memoText);
    EXPECT_EQ(memo->document()->blockCount(),
              static_cast<int>(std::count(c.memoText.begin(), c.memoText.end(), '\n')) + 1);
    fJsonPretty->close();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MemoContent,
    ::testing::Values(
        MemoCase{"order_laid_out",
                 R"({"client_full_name":"Ana Mărgărit","location":"Iași / Copou","lines":[{"sku":"P-1",)"
                 R"("name":"Brânză \"de burduf\"\tfeliată","price":10.50,"quantity":3}],"extra":{}})",
                 "{\n"
                 "    \"client_full_name\": \"Ana Mărgărit\",\n"
                 "    \"location\": \"Iași / Copou\",\n"
                 "    \"lines\": [\n"
                 "        {\n"
                 "            \"sku\": \"P-1\",\n"
                 "            \"name\": \"Brânză \\\"de burduf\\\"\\tfeliată\",\n"
                 "            \"price\": 10.50,\n"
                 "            \"quantity\": 3\n"
                 "        }\n"
                 "    ],\n"
                 "    \"extra\": {\n"
                 "    }\n"
                 "}\n"},
        MemoCase{"escapes_decoded", R"(["\u0218tefan","a\/b"])", "[\n    \"Ștefan\",\n    \"a/b\"\n]\n"},
        MemoCase{"top_level_number", "1E5", "1E5\n"},
        MemoCase{"cut_short", R"({"order_id":"1","lines":[)", "{\"order_id\":\"1\",\"lines\":[\n"},
        MemoCase{"garbage_after_brace", R"({"a":1} x)", "{\"a\":1} x\n"},
        MemoCase{"number_then_space", "42 ", "42 \n"},
        MemoCase{"too_deep", std::string(513, '[') + std::string(513, ']'),
                 std::string(513, '[') + std::string(513, ']') + "\n"},
        MemoCase{"stored_with_line_breaks", "nu este json\r\na doua linie", "nu este json\na doua linie\n"},
        MemoCase{"empty", "", "\n"}),
    [](const auto &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// The workbench's call and the modal showing
// ---------------------------------------------------------------------------------------------

TEST_F(JsonViewer, TextThatWouldLayOutHugeIsShownAsStored) {
    // Valid, but 100,000 elements 511 levels down would lay out to about 200 MB.
    QString wide = QString(511, QLatin1Char('[')) + QLatin1Char('0');
    for (int i = 1; i < 100000; ++i)
        wide += QStringLiteral(",0");
    wide += QString(511, QLatin1Char(']'));
    fJsonPretty->pJsonString = wide;
    fJsonPretty->show();
    EXPECT_EQ(memo->toPlainText(), wide + QLatin1Char('\n'));
    fJsonPretty->close();
}

TEST_F(JsonViewer, WorkbenchCallShowsTheOrderModallyUnderItsHeading) {
    bool visible = false, modal = false;
    QString shownMemo, heading;
    showModallyAndThen(QStringLiteral(R"({"client_full_name":"Ion Popescu"})"),
                       QStringLiteral("Ion Popescu"),
                       QStringLiteral("{0b6f3c1e-2d4a-4c8e-9f10-5a6b7c8d9e0f}"), [&] {
                           visible = fJsonPretty->isVisible();
                           modal = QApplication::activeModalWidget() == fJsonPretty &&
                                   fJsonPretty->windowModality() == Qt::ApplicationModal;
                           shownMemo = memo->toPlainText();
                           heading = label->text();
                       });
    EXPECT_TRUE(visible);
    EXPECT_TRUE(modal);
    EXPECT_EQ(heading,
              QStringLiteral("Client = Ion Popescu, Id comanda = {0b6f3c1e-2d4a-4c8e-9f10-5a6b7c8d9e0f}"));
    EXPECT_EQ(shownMemo, QStringLiteral("{\n    \"client_full_name\": \"Ion Popescu\"\n}\n"));
    // Closed: hidden, both fields empty, the memo and the heading keep what they showed.
    EXPECT_FALSE(fJsonPretty->isVisible());
    EXPECT_TRUE(fJsonPretty->pJsonString.isEmpty());
    EXPECT_TRUE(fJsonPretty->pLabel.isEmpty());
    EXPECT_EQ(memo->toPlainText(), shownMemo);
    EXPECT_EQ(label->text(), heading);
}

TEST_F(JsonViewer, NoCurrentRowShowsTheBareHeadingAndOneLineBreak) {
    QString shownMemo, heading;
    showModallyAndThen(QString(), QString(), QString(), [&] {
        shownMemo = memo->toPlainText();
        heading = label->text();
    });
    EXPECT_EQ(heading, QStringLiteral("Client = , Id comanda = "));
    EXPECT_EQ(shownMemo, QStringLiteral("\n"));
}

TEST_F(JsonViewer, SecondShowingStartsFromAnEmptyMemo) {
    QString afterTyping, secondMemo;
    showModallyAndThen(QStringLiteral("[1]"), QStringLiteral("A"), QStringLiteral("{1}"), [&] {
        memo->moveCursor(QTextCursor::End);
        type(memo, QStringLiteral("scris de operator"));
        afterTyping = memo->toPlainText();
    });
    ASSERT_TRUE(afterTyping.contains(QStringLiteral("scris de operator")));
    showModallyAndThen(QStringLiteral("true"), QStringLiteral("B"), QStringLiteral("{2}"),
                       [&] { secondMemo = memo->toPlainText(); });
    EXPECT_EQ(secondMemo, QStringLiteral("true\n"));
    EXPECT_EQ(label->text(), QStringLiteral("Client = B, Id comanda = {2}"));
}

TEST_F(JsonViewer, OnlyTheCloseCommandEndsTheShowing) {
    bool visibleAfterEscape = false;
    showModallyAndThen(QStringLiteral("{}"), QString(), QString(), [&] {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(memo, &escape);
        visibleAfterEscape = fJsonPretty->isVisible();
    });
    EXPECT_TRUE(visibleAfterEscape);
    EXPECT_FALSE(fJsonPretty->isVisible());
}

TEST_F(JsonViewer, ClosingAHiddenViewerKeepsTheCallersTexts) {
    // Texts assigned for the next showing survive a stray close of the hidden window.
    fJsonPretty->pJsonString = QStringLiteral("[]");
    fJsonPretty->pLabel = QStringLiteral("Client = C");
    fJsonPretty->reject();
    EXPECT_EQ(fJsonPretty->pJsonString, QStringLiteral("[]"));
    EXPECT_EQ(fJsonPretty->pLabel, QStringLiteral("Client = C"));
}

// ---------------------------------------------------------------------------------------------
// Design
// ---------------------------------------------------------------------------------------------

TEST_F(JsonViewer, WindowAndControlsFollowTheDesign) {
    EXPECT_EQ(fJsonPretty->windowTitle(), QStringLiteral("fJsonPretty"));
    EXPECT_EQ(fJsonPretty->size(), QSize(754, 551));
    EXPECT_EQ(fJsonPretty->font().family(), QStringLiteral("Segoe UI"));
    EXPECT_EQ(fJsonPretty->font().pixelSize(), 12);
    EXPECT_EQ(fJsonPretty->palette().color(QPalette::Window),
              QApplication::palette().color(QPalette::Button));
    const Qt::WindowFlags flags = fJsonPretty->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_NE(fJsonPretty->minimumSize(), fJsonPretty->maximumSize()); // resizable

    EXPECT_EQ(label->text(), QStringLiteral("Label"));
    EXPECT_EQ(label->pos(), QPoint(8, 0));
    EXPECT_FALSE(label->wordWrap());
    EXPECT_EQ(label->font().family(), QStringLiteral("Segoe UI"));
    EXPECT_EQ(label->font().pixelSize(), 16);
    EXPECT_TRUE(label->font().bold());
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0xFF, 0x00, 0x00));

    EXPECT_EQ(memo->geometry(), QRect(8, 27, 738, 516));
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_FALSE(memo->isReadOnly());
    EXPECT_EQ(memo->font(), fJsonPretty->font());
    EXPECT_NE(memo->focusPolicy(), Qt::NoFocus);
}

TEST_F(JsonViewer, HeadingIsSizedToItsTextOnOneLine) {
    const QString longHeading = QStringLiteral("Client = ") + QString(120, QLatin1Char('W')) +
                                QStringLiteral(", Id comanda = {0b6f3c1e-2d4a-4c8e-9f10-5a6b7c8d9e0f}");
    fJsonPretty->pLabel = longHeading;
    fJsonPretty->show();
    EXPECT_EQ(label->text(), longHeading);
    EXPECT_EQ(label->pos(), QPoint(8, 0));
    EXPECT_EQ(label->size(), label->sizeHint());
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(longHeading));
    EXPECT_LT(label->height(), 2 * label->fontMetrics().height());
    fJsonPretty->close();
}

TEST_F(JsonViewer, MemoKeepsItsMarginsAndLaterShowingsKeepPlaceAndSize) {
    fJsonPretty->show();
    EXPECT_EQ(fJsonPretty->size(), QSize(754, 551)); // first shown at the design size
    // The operator moves and resizes the window through the window system.
    QWindow *window = fJsonPretty->windowHandle();
    ASSERT_TRUE(window);
    window->setFramePosition(QPoint(130, 140));
    window->resize(900, 700);
    QApplication::processEvents();
    ASSERT_EQ(fJsonPretty->size(), QSize(900, 700));
    EXPECT_EQ(memo->geometry(), QRect(8, 27, 900 - 16, 700 - 27 - 8));
    const QRect placed = fJsonPretty->geometry();
    fJsonPretty->close();
    fJsonPretty->show();
    QApplication::processEvents();
    EXPECT_EQ(fJsonPretty->geometry(), placed);
    EXPECT_EQ(memo->geometry(), QRect(8, 27, 884, 665));
    fJsonPretty->close();
}

} // namespace
