#include "Application.h"
#include "Error.h"
#include "MessageRecorder.h"
#include "TestApplication.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <memory>
#include <stdexcept>

namespace {

struct TextCase {
    const char *message;
    const char *shown;
};

class ErrorTextRule : public ::testing::TestWithParam<TextCase> {};

TEST_P(ErrorTextRule, AppendsAPeriodOnlyAfterCharactersAboveIt) {
    const auto &c = GetParam();
    const auto text = wik::Application::errorDisplayText(wik::Error(c.message));
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->toStdString(), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, ErrorTextRule,
    ::testing::Values(TextCase{"Gata.", "Gata."}, TextCase{"Gata ", "Gata "},
                      TextCase{"(getCmdC)", "(getCmdC)"}, TextCase{"Atentie!", "Atentie!"},
                      TextCase{"a,", "a,"}, TextCase{"a -", "a -"},
                      TextCase{"Companie inexistenta", "Companie inexistenta."},
                      TextCase{"StatusCode = 404", "StatusCode = 404."},
                      TextCase{"data_feedback=", "data_feedback=."}, TextCase{"{x}", "{x}."},
                      TextCase{"Hotel Someș", "Hotel Someș."}, TextCase{"a/", "a/."},
                      TextCase{"", ""}));

TEST(ErrorDisplay, SilentErrorShowsNothing) {
    EXPECT_FALSE(wik::Application::errorDisplayText(wik::SilentAbort()).has_value());
}

TEST(ErrorDisplay, InnerChainShowsTheInnermostMessage) {
    auto inner = std::make_shared<wik::Error>("Conexiune refuzata");
    auto middle = std::make_shared<wik::Error>("Nivel doi", inner);
    wik::Error outer("Nivel unu", middle);
    EXPECT_EQ(wik::Application::errorDisplayText(outer)->toStdString(), "Conexiune refuzata.");
}

TEST(ErrorDisplay, EmptyInnermostMessageShowsTheChainOnePerLine) {
    auto inner = std::make_shared<wik::Error>("");
    wik::Error outer("Nivel unu", inner);
    EXPECT_EQ(wik::Application::errorDisplayText(outer)->toStdString(), "Nivel unu\n");
}

TEST(ErrorDisplay, StandardExceptionsShowTheirText) {
    EXPECT_EQ(wik::Application::errorDisplayText(std::runtime_error("boom"))->toStdString(),
              "boom.");
}

struct TitleCase {
    const char *path;
    const char *title;
};

class TitleDerivation : public ::testing::TestWithParam<TitleCase> {};

TEST_P(TitleDerivation, CutsAtTheFirstDotAndLowersAllButTheFirst) {
    EXPECT_EQ(wik::Application::deriveTitle(GetParam().path).toStdString(), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(Names, TitleDerivation,
                         ::testing::Values(TitleCase{"wImportKalvoro.exe", "wimportkalvoro"},
                                           TitleCase{"wImportKalvoro", "wimportkalvoro"},
                                           TitleCase{"WImport.Kalvoro.v2.exe", "Wimport"},
                                           TitleCase{"/usr/bin/wImportKalvoro", "wimportkalvoro"},
                                           TitleCase{"./build.dir/Test.Run", "Test"},
                                           TitleCase{"X", "X"}, TitleCase{"", ""}));

class GuardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testapp::ensureApplication(); }
};

TEST_F(GuardTest, AnErrorLeavingAHandlerReachesTheDefaultDisplayWithTheTitle) {
    MessageRecorder recorder;
    QPushButton button;
    wik::connectHandler(&button, &QPushButton::clicked, &button,
                        [] { throw wik::Error("Nu aveti inregistrari."); });
    button.click();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].kind, RecordedMessage::Error);
    EXPECT_EQ(recorder.messages[0].caption, QStringLiteral("wimportkalvoro"));
    EXPECT_EQ(recorder.messages[0].text, QStringLiteral("Nu aveti inregistrari."));
}

TEST_F(GuardTest, SilentAbortAndSuccessShowNothing) {
    MessageRecorder recorder;
    wik::Application::guard([] { throw wik::SilentAbort(); });
    wik::Application::guard([] {});
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(GuardTest, InformationKeepsItsTextUnchanged) {
    MessageRecorder recorder;
    wik::Application::showInformation(QStringLiteral("Sfarsit import comenzi"));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].kind, RecordedMessage::Information);
    EXPECT_EQ(recorder.messages[0].text, QStringLiteral("Sfarsit import comenzi"));
}

} // namespace
