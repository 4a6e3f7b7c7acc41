#include "app/window/GlobalKeys.h"

#include "app/ToastService.h"
#include "platform/GlobalInput.h"

#include <QColor>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QTimer>
#include <xcb/xproto.h>

namespace {

// The key symbol of the grave accent and the X modifier bit of Control.
constexpr std::uint32_t kGraveKeysym = 0x0060;
constexpr std::uint16_t kControlMask = XCB_MOD_MASK_CONTROL;
// The key symbols of the left and the right Control key.
constexpr std::uint32_t kControlL = 0xffe3;
constexpr std::uint32_t kControlR = 0xffe4;

} // namespace

GlobalKeys::GlobalKeys(ToastService& toasts, QObject* parent) : QObject(parent), toasts_(toasts) {}

GlobalKeys::~GlobalKeys() = default;

void GlobalKeys::registerHotKey() {
    input_ = std::make_unique<GlobalInput>();
    const GlobalInput::GrabResult grab = input_->grabHotKey(kGraveKeysym, kControlMask);
    hotKeyProblem_ = GlobalInput::describe(grab);
    if (!hotKeyProblem_.isEmpty()) {
        qWarning("Dunmar: %s", qPrintable(hotKeyProblem_));
        toasts_.showGenericToast(QStringLiteral("KEY"), hotKeyProblem_, QColor::fromRgbF(0.85f, 0.55f, 0.2f),
                                 8.0, QStringLiteral("hotKeyToast"));
    }
    connect(input_.get(), &GlobalInput::hotKeyPressed, this, [this] {
        QTimer::singleShot(0, this, [this] {
            if (onHotKey) onHotKey();
        });
    });
    connect(input_.get(), &GlobalInput::keyChanged, this, [this](std::uint32_t keysym, bool down) {
        if (keysym == kControlL || keysym == kControlR) controlChanged(down);
    });
    if (input_->hasRawInput()) {
        input_->watchKeys();
    } else {
        watchControlInApplication_ = true;
        qApp->installEventFilter(this);
    }
}

void GlobalKeys::unregisterHotKey() {
    if (input_) input_->ungrabHotKey();
}

void GlobalKeys::controlChanged(bool down) {
    if (onControlChanged) onControlChanged(down);
}

bool GlobalKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watchControlInApplication_ &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Control && !key->isAutoRepeat())
            controlChanged(event->type() == QEvent::KeyPress);
    }
    return QObject::eventFilter(watched, event);
}
