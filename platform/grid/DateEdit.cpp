#include "DateEdit.h"

#include <QCalendarWidget>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QToolButton>
#include <QVBoxLayout>

namespace wik::grid {

namespace {
// The regional short date with the year written in full: a two-digit year would be read back
// in the wrong century.
QString fullYearShortFormat() {
    QString f = QLocale::system().dateFormat(QLocale::ShortFormat);
    if (!f.contains(QLatin1String("yyyy")))
        f.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return f;
}
} // namespace

DateEdit::DateEdit(QWidget *parent)
    : QWidget(parent), edit_(new QLineEdit(this)), button_(new QToolButton(this)),
      popup_(new QFrame(this, Qt::Popup)), calendar_(new QCalendarWidget(popup_)),
      format_(fullYearShortFormat()) {
    edit_->setObjectName(QStringLiteral("dateText"));
    button_->setObjectName(QStringLiteral("dropDown"));
    calendar_->setObjectName(QStringLiteral("calendar"));
    button_->setText(QStringLiteral("\u25BE"));
    button_->setFocusPolicy(Qt::NoFocus);
    setFocusProxy(edit_);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(edit_, 1);
    layout->addWidget(button_);
    popup_->setFrameShape(QFrame::Box);
    auto *popupLayout = new QVBoxLayout(popup_);
    popupLayout->setContentsMargins(1, 1, 1, 1);
    popupLayout->addWidget(calendar_);
    edit_->installEventFilter(this);

    connect(edit_, &QLineEdit::editingFinished, this, &DateEdit::commitText);
    connect(button_, &QToolButton::clicked, this, &DateEdit::showCalendar);
    auto pick = [this](QDate d) {
        hideCalendar();
        setDate(d);
    };
    connect(calendar_, &QCalendarWidget::clicked, this, pick);
    connect(calendar_, &QCalendarWidget::activated, this, pick);
}

DateEdit::~DateEdit() {
    // The text box loses the focus while the children go: that is no edit to commit.
    disconnect(edit_, nullptr, this, nullptr);
}

QDate DateEdit::parse(const QString &text, bool *ok) const {
    const QString t = text.trimmed();
    *ok = true;
    if (t.isEmpty())
        return {};
    QDate d = QLocale::system().toDate(t, format_);
    if (!d.isValid())
        d = QDate::fromString(t, Qt::ISODate);
    *ok = d.isValid();
    return d;
}

QDate DateEdit::date() const {
    bool ok = false;
    const QDate d = parse(edit_->text(), &ok);
    return ok ? d : date_;
}

bool DateEdit::isEmpty() const {
    return edit_->text().trimmed().isEmpty();
}

void DateEdit::setDate(const QDate &date) {
    edit_->setText(date.isValid() ? QLocale::system().toString(date, format_) : QString());
    store(date.isValid() ? date : QDate());
}

void DateEdit::store(const QDate &date) {
    if (date == date_)
        return;
    date_ = date;
    emit dateChanged(date_);
}

void DateEdit::commitText() {
    bool ok = false;
    const QDate d = parse(edit_->text(), &ok);
    if (!ok) {
        // Not a date: the box goes back to the date it held.
        setDate(date_);
        return;
    }
    setDate(d);
}

void DateEdit::showCalendar() {
    const QDate d = date();
    calendar_->setSelectedDate(d.isValid() ? d : QDate::currentDate());
    popup_->adjustSize();
    popup_->move(mapToGlobal(rect().bottomLeft()));
    popup_->show();
    calendar_->setFocus();
}

void DateEdit::hideCalendar() {
    popup_->hide();
}

bool DateEdit::eventFilter(QObject *watched, QEvent *event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_F4 || (key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier))) {
            showCalendar();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace wik::grid
