#include "GridNavigator.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace wik::grid {

namespace {
QToolButton *navButton(QWidget *parent, const char *name, const QString &glyph, const char *hint) {
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(glyph);
    b->setToolTip(QString::fromLatin1(hint));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}
} // namespace

GridNavigator::GridNavigator(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("navigator"));
    first_ = navButton(this, "navFirst", QStringLiteral("|\u25C2"), "First");
    priorPage_ = navButton(this, "navPriorPage", QStringLiteral("\u25C2\u25C2"), "Prior Page");
    prior_ = navButton(this, "navPrior", QStringLiteral("\u25C2"), "Prior");
    next_ = navButton(this, "navNext", QStringLiteral("\u25B8"), "Next");
    nextPage_ = navButton(this, "navNextPage", QStringLiteral("\u25B8\u25B8"), "Next Page");
    last_ = navButton(this, "navLast", QStringLiteral("\u25B8|"), "Last");
    info_ = new QLabel(this);
    info_->setObjectName(QStringLiteral("navInfo"));
    info_->setContentsMargins(8, 0, 8, 0);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(0);
    for (QToolButton *b : {first_, priorPage_, prior_, next_, nextPage_, last_})
        layout->addWidget(b);
    layout->addWidget(info_);
    layout->addStretch(1);
    connect(first_, &QToolButton::clicked, this, &GridNavigator::firstRequested);
    connect(priorPage_, &QToolButton::clicked, this, &GridNavigator::priorPageRequested);
    connect(prior_, &QToolButton::clicked, this, &GridNavigator::priorRequested);
    connect(next_, &QToolButton::clicked, this, &GridNavigator::nextRequested);
    connect(nextPage_, &QToolButton::clicked, this, &GridNavigator::nextPageRequested);
    connect(last_, &QToolButton::clicked, this, &GridNavigator::lastRequested);
    setPosition(0, 0);
}

void GridNavigator::setPosition(int position, int count) {
    info_->setText(QStringLiteral("Record %1 of %2").arg(position).arg(count));
    const bool atStart = count == 0 || position == 1;
    const bool atEnd = count == 0 || position == count;
    first_->setEnabled(!atStart);
    priorPage_->setEnabled(!atStart);
    prior_->setEnabled(!atStart);
    next_->setEnabled(!atEnd);
    nextPage_->setEnabled(!atEnd);
    last_->setEnabled(!atEnd);
}

QString GridNavigator::infoText() const {
    return info_->text();
}

} // namespace wik::grid
