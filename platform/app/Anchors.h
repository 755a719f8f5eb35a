#pragma once
// Absolute placement with anchors, as the windows are designed: a control keeps its distance to
// each anchored side of its parent when the parent is resized; anchored to both opposite sides,
// it stretches.
#include <QFlags>
#include <QRect>
#include <QSize>

class QWidget;

namespace wik {

enum class Anchor { Left = 1, Top = 2, Right = 4, Bottom = 8 };
Q_DECLARE_FLAGS(Anchors, Anchor)
Q_DECLARE_OPERATORS_FOR_FLAGS(Anchors)

inline constexpr Anchors anchorsLeftTop = Anchors(Anchor::Left) | Anchor::Top;
inline constexpr Anchors anchorsAll = Anchors(Anchor::Left) | Anchor::Top | Anchor::Right | Anchor::Bottom;

// Places `child` at its design rectangle inside a parent whose design client size is
// `parentDesignSize`, and keeps it anchored from then on.
void place(QWidget *child, const QRect &designRect, const QSize &parentDesignSize,
           Anchors anchors = anchorsLeftTop);

} // namespace wik
