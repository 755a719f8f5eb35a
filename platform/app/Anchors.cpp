#include "Anchors.h"

#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <vector>

namespace wik {

namespace {

struct AnchoredChild {
    QPointer<QWidget> widget;
    QRect designRect;
    Anchors anchors;
};

// One per parent: repositions the anchored children whenever the parent is resized.
class AnchorKeeper : public QObject {
public:
    AnchorKeeper(QWidget *parent, QSize designSize) : QObject(parent), designSize_(designSize) {
        parent->installEventFilter(this);
    }

    void add(QWidget *child, const QRect &rect, Anchors anchors) {
        children_.push_back({child, rect, anchors});
        apply(children_.back(), static_cast<QWidget *>(QObject::parent())->size());
    }

    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Resize && watched == parent()) {
            const QSize size = static_cast<QWidget *>(watched)->size();
            for (auto &c : children_)
                apply(c, size);
        }
        return false;
    }

private:
    void apply(const AnchoredChild &c, QSize size) {
        if (!c.widget)
            return;
        const int dw = size.width() - designSize_.width();
        const int dh = size.height() - designSize_.height();
        QRect r = c.designRect;
        if (c.anchors.testFlag(Anchor::Right)) {
            if (c.anchors.testFlag(Anchor::Left))
                r.setWidth(std::max(0, r.width() + dw));
            else
                r.moveLeft(r.left() + dw);
        }
        if (c.anchors.testFlag(Anchor::Bottom)) {
            if (c.anchors.testFlag(Anchor::Top))
                r.setHeight(std::max(0, r.height() + dh));
            else
                r.moveTop(r.top() + dh);
        }
        c.widget->setGeometry(r);
    }

    QSize designSize_;
    std::vector<AnchoredChild> children_;
};

} // namespace

void place(QWidget *child, const QRect &designRect, const QSize &parentDesignSize,
           Anchors anchors) {
    QWidget *parent = child->parentWidget();
    AnchorKeeper *keeper = nullptr;
    for (QObject *o : parent->children())
        if ((keeper = dynamic_cast<AnchorKeeper *>(o)))
            break;
    if (!keeper)
        keeper = new AnchorKeeper(parent, parentDesignSize);
    keeper->add(child, designRect, anchors);
}

} // namespace wik
