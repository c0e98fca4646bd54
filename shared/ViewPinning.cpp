#include "shared/ViewPinning.h"

void pinToSuperviewEdges(UIView& view) {
    UIView* parent = view.superview();
    if (!parent) return;
    view.translatesAutoresizingMaskIntoConstraints = false;
    NSLayoutConstraint::activate({
        view.topAnchor().constraint(parent->topAnchor()),
        view.leadingAnchor().constraint(parent->leadingAnchor()),
        view.bottomAnchor().constraint(parent->bottomAnchor()),
        view.trailingAnchor().constraint(parent->trailingAnchor()),
    });
}
