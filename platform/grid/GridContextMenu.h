#pragma once
// The grid's context menu (right click on the table, or the keyboard's menu key): "Copy" puts
// the selected rows on the clipboard as the grid shows them (also Ctrl+C on the table), and
// "Export CSV..." writes every row that passes the filter row into a file the operator picks.
// Both only read the grid: focus, filter, sort, groups and scroll position stay as they are.
#include <QObject>
#include <QList>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace wik::grid {

class DataGrid;

class GridContextMenu : public QObject {
    Q_OBJECT
public:
    // Asks the operator where to save the export, suggesting a path; an empty answer means
    // the operator gave up. The default asks with the save dialog.
    using FileNameAsker = std::function<QString(QWidget *parent, const QString &suggestedPath)>;

    explicit GridContextMenu(DataGrid *grid);

    QMenu *menu() const { return menu_; }
    QAction *copyAction() const { return copy_; }
    QAction *exportCsvAction() const { return exportCsv_; }

    void setFileNameAsker(FileNameAsker asker);
    // The file name the save dialog suggests, in the folder of the last export of this run
    // (at first the documents folder, or the home folder where there is none).
    void setExportFileName(const QString &name) { exportFileName_ = name; }
    QString exportFileName() const { return exportFileName_; }

    // The grid's columns in the order the operator sees them (after moving columns).
    QList<int> visibleColumns() const;
    // What "Copy" puts on the clipboard: one line per selected row, in the table's order,
    // the cells' texts separated by tabs (a tab or line break inside a cell becomes a space);
    // a group row gives its caption line; with nothing selected, the focused row.
    QString selectionText() const;

    void copySelection();
    // Asks for the file and writes it; raises wik::Error when the file cannot be written.
    void exportCsv();

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    DataGrid *grid_;
    QMenu *menu_;
    QAction *copy_;
    QAction *exportCsv_;
    FileNameAsker askFileName_;
    QString exportFileName_ = QStringLiteral("export.csv");
    QString lastFolder_;
};

} // namespace wik::grid
