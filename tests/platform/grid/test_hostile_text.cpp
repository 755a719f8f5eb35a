// Data that looks like markup or holds control characters is shown as the text it is: in the
// cells and in the tip of a memo cell (Qt takes a tip for rich text when its first line holds
// something like an HTML tag, and would render "<b>" as bold or drop "<script>" altogether).
#include "GridTestSupport.h"
#include "ShownText.h"

#include <QHelpEvent>
#include <QLabel>
#include <QToolTip>

namespace {

using gridtest::GridFixture;

// The text the tip shows the operator.
QString tipAsRead() {
    for (QWidget *w : QApplication::topLevelWidgets()) {
        auto *tip = qobject_cast<QLabel *>(w);
        if (!tip || w->objectName() != QLatin1String("qtooltip_label") || !tip->isVisible())
            continue;
        return shownText(tip);
    }
    return QStringLiteral("(no tip shown)");
}

class HostileText : public GridFixture {
protected:
    // Shows the tip of the cell in the first column of `row`, as hovering there would.
    QString tipOfRow(int row) {
        QToolTip::hideText();
        auto *table = grid->tableView();
        const QRect cell = table->visualRect(view().index(row, 0));
        const QPoint at = cell.center();
        QHelpEvent event(QEvent::ToolTip, at, table->viewport()->mapToGlobal(at));
        QApplication::sendEvent(table->viewport(), &event);
        return tipAsRead();
    }
};

TEST_F(HostileText, MarkupAndControlCharactersInAMemoCellAreShownAsWritten) {
    const QString texts[] = {
        QStringLiteral(R"({"client_full_name": "<script>alert(1)</script>"})"),
        QStringLiteral("<b>Firma</b> & <i>Fiii</i>"),
        QStringLiteral("<img src=\"file:///etc/passwd\">"),
        QStringLiteral("&lt;b&gt; stays as typed"),
        QStringLiteral("bell\u0007 escape\u001b[31m tab\t end"),
    };
    for (const QString &text : texts) {
        model->setValue(0, 0, text);
        const int row = shown().indexOf(text);
        ASSERT_GE(row, 0) << text.toStdString();
        EXPECT_EQ(tipOfRow(row), text);
    }
    QToolTip::hideText();
}

} // namespace
