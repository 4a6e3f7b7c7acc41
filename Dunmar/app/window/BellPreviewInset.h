#pragma once

#include <QEasingCurve>
#include <QObject>
#include <QPointer>
#include <functional>

class QVariantAnimation;

// The room a bell preview takes at the top of the terminal area: the pages give up its height as
// the preview slides open and take it back as it closes. Each step of the slide calls `onChanged`.
class BellPreviewInset : public QObject {
    Q_OBJECT
public:
    explicit BellPreviewInset(QObject* parent = nullptr) : QObject(parent) {}

    int height() const { return height_; }
    // Goes to `height` in `durationMs` along `curve`; at once for no duration. A slide still
    // running stops where it is and the new one starts from there.
    void slideTo(int height, int durationMs, const QEasingCurve& curve);

    std::function<void()> onChanged;

private:
    void set(int height);

    int height_ = 0;
    QPointer<QVariantAnimation> animation_;
};
