#include "GridContextMenu.h"

#include "Application.h"
#include "CsvExport.h"
#include "DataGrid.h"
#include "FilterHeader.h"
#include "GridTableView.h"
#include "GridViewModel.h"
#include "WaitCursor.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMenu>
#include <QStandardPaths>

#include <vector>

namespace wik::grid {

namespace {

// A cell on the clipboard stays one cell: whatever would break the line or the row apart
// becomes a space.
QString clipboardCell(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar &c : text)
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    return text;
}

QString askWithSaveDialog(QWidget *parent, const QString &suggestedPath) {
    QFileDialog dialog(parent, QStringLiteral("Export CSV"), suggestedPath, QStringLiteral("CSV (*.csv)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

} // namespace

GridContextMenu::GridContextMenu(DataGrid *grid)
    : QObject(grid), grid_(grid), menu_(new QMenu(grid)), askFileName_(askWithSaveDialog) {
    menu_->setObjectName(QStringLiteral("gridContextMenu"));
    copy_ = menu_->addAction(QStringLiteral("Copy"));
    copy_->setObjectName(QStringLiteral("gridCopy"));
    copy_->setShortcut(QKeySequence::Copy);
    // Only while the table has the focus: in a filter editor Ctrl+C copies the editor's text.
    copy_->setShortcutContext(Qt::WidgetShortcut);
    exportCsv_ = menu_->addAction(QStringLiteral("Export CSV..."));
    exportCsv_->setObjectName(QStringLiteral("gridExportCsv"));

    GridTableView *view = grid_->tableView();
    view->addAction(copy_);
    view->installEventFilter(this);           // the keyboard's menu key
    view->viewport()->installEventFilter(this); // right clicks on the rows
    wik::connectHandler(copy_, &QAction::triggered, this, [this] { copySelection(); });
    wik::connectHandler(exportCsv_, &QAction::triggered, this, [this] { exportCsv(); });
}

void GridContextMenu::setFileNameAsker(FileNameAsker asker) {
    askFileName_ = asker ? std::move(asker) : FileNameAsker(askWithSaveDialog);
}

QList<int> GridContextMenu::visibleColumns() const {
    const FilterHeader *header = grid_->filterHeader();
    const int count = std::min(header->count(), grid_->viewModel()->columnCount());
    QList<int> columns;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (logical >= 0 && logical < count && !header->isSectionHidden(logical))
            columns << logical;
    }
    return columns;
}

QString GridContextMenu::selectionText() const {
    const GridViewModel &model = *grid_->viewModel();
    const QList<int> columns = visibleColumns();
    const auto dataLine = [&](int sourceRow) {
        QStringList cells;
        for (int c : columns)
            cells << clipboardCell(model.displayText(sourceRow, c));
        return cells.join(u'\t');
    };
    // Rows from the selection's ranges rather than its single cells: a whole list selected
    // holds a range per row, not every cell of it.
    std::vector<char> selected(std::size_t(model.rowCount()), 0);
    bool any = false;
    for (const QItemSelectionRange &range : grid_->tableView()->selectionModel()->selection()) {
        for (int r = std::max(range.top(), 0); r <= range.bottom() && r < model.rowCount(); ++r) {
            selected[std::size_t(r)] = 1;
            any = true;
        }
    }
    if (!any)
        return grid_->focusedSourceRow() >= 0 ? dataLine(grid_->focusedSourceRow()) : QString();
    QStringList lines;
    for (int r = 0; r < model.rowCount(); ++r) {
        if (!selected[std::size_t(r)])
            continue;
        const int group = model.groupAt(r);
        lines << (group >= 0 ? clipboardCell(model.groupText(group)) : dataLine(model.sourceRowAt(r)));
    }
    return lines.join(u'\n');
}

void GridContextMenu::copySelection() {
    const WaitCursor wait;
    const QString text = selectionText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void GridContextMenu::exportCsv() {
    QString folder = lastFolder_;
    if (folder.isEmpty()) {
        // The save dialog would fall back to the program's working folder for a folder that
        // does not exist.
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty() || !QFileInfo(folder).isDir())
            folder = QDir::homePath();
    }
    const QString suggested = QDir(folder).filePath(exportFileName_);
    const QString path = askFileName_(grid_->window(), suggested);
    if (path.isEmpty())
        return;
    lastFolder_ = QFileInfo(path).absolutePath();
    const WaitCursor wait; // a long list takes a moment (about half a second per 100,000 rows)
    CsvExport().save(path, *grid_->viewModel(), visibleColumns());
}

bool GridContextMenu::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::ContextMenu)
        return QObject::eventFilter(watched, event);
    auto *e = static_cast<QContextMenuEvent *>(event);
    GridTableView *view = grid_->tableView();
    // A right click reaches the table through its viewport; one that reaches the table itself
    // came from the headers around the rows, which are no rows to copy.
    if (watched == view && e->reason() == QContextMenuEvent::Mouse)
        return false;
    QPoint at = e->globalPos();
    if (e->reason() != QContextMenuEvent::Mouse) {
        // From the keyboard: at the focused cell, where the operator is looking.
        const QRect cell = view->visualRect(view->currentIndex());
        const QPoint local = cell.isValid() && view->viewport()->rect().intersects(cell)
                                 ? cell.bottomLeft() + QPoint(cell.height() / 2, 0)
                                 : QPoint(0, 0);
        at = view->viewport()->mapToGlobal(local);
    }
    menu_->popup(at);
    e->accept();
    return true;
}

} // namespace wik::grid
