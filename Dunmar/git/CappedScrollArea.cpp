#include "git/CappedScrollArea.h"

#include <QLayout>
#include <algorithm>

CappedScrollArea::CappedScrollArea(int maxHeight, QWidget* parent)
    : QScrollArea(parent), maxHeight_(maxHeight) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(true);
    viewport()->setAutoFillBackground(false);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int CappedScrollArea::heightForWidth(int width) const {
    const QWidget* inner = widget();
    if (!inner) return 0;
    const int h = inner->hasHeightForWidth() ? inner->heightForWidth(width) : inner->sizeHint().height();
    return std::clamp(h, 0, maxHeight_);
}

QSize CappedScrollArea::sizeHint() const {
    const int w = width() > 0 ? width() : 200;
    return {w, heightForWidth(w)};
}
