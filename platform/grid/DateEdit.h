#pragma once
// A date box with a drop-down calendar that can also be empty: deleting its text empties it,
// and an empty box has no date (the owner decides what an empty date means). The text is the
// regional short date, always with a four-digit year.
#include <QDate>
#include <QWidget>

class QCalendarWidget;
class QFrame;
class QLineEdit;
class QToolButton;

namespace wik::grid {

class DateEdit : public QWidget {
    Q_OBJECT
public:
    explicit DateEdit(QWidget *parent = nullptr);
    ~DateEdit() override;

    // The date the box shows; invalid when it is empty. While the operator types a text that is
    // not a date yet, the last date the box held.
    QDate date() const;
    void setDate(const QDate &date); // an invalid date empties the box
    bool isEmpty() const;
    QString displayFormat() const { return format_; }

    QLineEdit *lineEdit() const { return edit_; }
    QCalendarWidget *calendar() const { return calendar_; }
    void showCalendar();
    void hideCalendar();

signals:
    void dateChanged(const QDate &date);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QDate parse(const QString &text, bool *ok) const;
    void commitText();
    void store(const QDate &date);

    QLineEdit *edit_;
    QToolButton *button_;
    QFrame *popup_;
    QCalendarWidget *calendar_;
    QString format_;
    QDate date_;
};

} // namespace wik::grid
