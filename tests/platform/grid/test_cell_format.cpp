#include "CellFormatter.h"
#include "DateTimeDisplayFormat.h"
#include "GridTestSupport.h"

#include <QLocale>

using wik::grid::CellFormatter;
using wik::grid::DateTimeDisplayFormat;
using wik::grid::DisplayKind;
using wik::grid::GridColumn;

namespace {

struct FormatCase {
    const char *pattern;
    const char *value; // ISO date-time
    const char *shown;
};

class DateTimePattern : public ::testing::TestWithParam<FormatCase> {};

TEST_P(DateTimePattern, WritesTheValueAsThePatternSays) {
    const auto &c = GetParam();
    EXPECT_EQ(DateTimeDisplayFormat(QString::fromLatin1(c.pattern)).format(gridtest::at(c.value)).toStdString(),
              c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, DateTimePattern,
    ::testing::Values(
        FormatCase{"yyyy-mm-dd hh:nn:ss", "2026-12-01T09:05:07", "2026-12-01 09:05:07"},
        FormatCase{"yyyy-mm-dd hh:nn:ss", "2026-01-31T23:59:59", "2026-01-31 23:59:59"},
        // An "m" after an hour is minutes, elsewhere it is the month.
        FormatCase{"hh:mm", "2026-12-01T09:05:07", "09:05"},
        FormatCase{"d.m.yy h:n:s", "2026-03-04T05:06:07", "4.3.26 5:6:7"},
        FormatCase{"hh:nn:ss.zzz", "2026-12-01T09:05:07.045", "09:05:07.045"},
        FormatCase{"h:nn am/pm", "2026-12-01T15:05:00", "3:05 pm"},
        FormatCase{"h:nn AM/PM", "2026-12-01T00:30:00", "12:30 AM"},
        FormatCase{"YYYY-MM-DD HH:NN", "2026-12-01T09:05:07", "2026-12-01 09:05"},
        FormatCase{"yyyy 'mm' \"at\" hh", "2026-12-01T09:05:07", "2026 mm at 09"}));

TEST(DateTimePatternNames, MonthNamesComeFromTheRegionalSettings) {
    const QString shown = DateTimeDisplayFormat("d mmmm yyyy").format(gridtest::at("2026-12-01T00:00:00"));
    EXPECT_EQ(shown, "1 " + QLocale::system().monthName(12, QLocale::LongFormat) + " 2026");
}

TEST(DateTimePatternNames, AnInvalidValueIsEmpty) {
    EXPECT_TRUE(DateTimeDisplayFormat("yyyy-mm-dd").format(QDateTime()).isEmpty());
}

struct KindCase {
    DisplayKind kind;
    QVariant value;
    QString shown;
};

TEST(CellText, EachKindWritesItsValuesAndNullIsEmpty) {
    const QDate day(2026, 12, 1);
    const QString shortDay = QLocale::system().toString(day, QLocale::ShortFormat);
    const std::vector<KindCase> cases{
        {DisplayKind::DateTime, gridtest::at("2026-12-01T09:05:07"), "2026-12-01 09:05:07"},
        {DisplayKind::DateTime, QVariant(day), "2026-12-01 00:00:00"},
        {DisplayKind::DateTime, QVariant(), ""},
        {DisplayKind::ShortDate, QVariant(day), shortDay},
        {DisplayKind::ShortDate, gridtest::at("2026-12-01T09:05:07"), shortDay},
        {DisplayKind::ShortDate, QVariant(), ""},
        {DisplayKind::Memo, QString("linia 1\r\nlinia 2\nlinia 3"), "linia 1 linia 2 linia 3"},
        {DisplayKind::Memo, QVariant(), ""},
        {DisplayKind::PlainText, QString("{6f1c2a4e-0000-4000-8000-000000000001}"),
         "{6f1c2a4e-0000-4000-8000-000000000001}"},
        {DisplayKind::PlainText, QVariant(qlonglong(42)), "42"},
        {DisplayKind::PlainText, QVariant(QMetaType(QMetaType::QString)), ""},
    };
    for (const auto &c : cases) {
        GridColumn column{"c", 0, -1, c.kind, "yyyy-mm-dd hh:nn:ss"};
        EXPECT_EQ(CellFormatter(column).text(c.value), c.shown)
            << int(c.kind) << " " << c.value.toString().toStdString();
    }
}

} // namespace
