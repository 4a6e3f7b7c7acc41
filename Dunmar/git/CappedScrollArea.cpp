#include "git/CappedScrollArea.h"

#include <QEvent>
#include <QLayout>
#include <algorithm>

namespace {

class ViewportWidthFollower : public QObject {
public:
    explicit ViewportWidthFollower(QScrollArea* area) : QObject(area), area_(area) {}
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize && area_->widget())
            area_->widget()->setFixedWidth(area_->viewport()->width());
        return false;
    }

private:
    QScrollArea* area_;
};

} // namespace

void followViewportWidth(QScrollArea* area) {
    area->viewport()->installEventFilter(new ViewportWidthFollower(area));
}

CappedScrollArea::CappedScrollArea(int maxHeight, QWidget* parent)
    : QScrollArea(parent), maxHeight_(maxHeight) {
    followViewportWidth(this);
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
