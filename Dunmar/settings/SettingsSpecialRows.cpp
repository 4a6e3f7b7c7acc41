// The rows with behaviour of their own: the language flags, the two theme pickers, the bell, the
// dictation switches, the usage status and the remote viewer.
#include "chrome/ChromeStyle.h"
#include "chrome/HoverButton.h"
#include "localisation/LanguageNotifier.h"
#include "localisation/Loc.h"
#include "localisation/LocBinding.h"
#include "platform/Defaults.h"
#include "settings/ColorThemeRow.h"
#include "settings/PromptThemes.h"
#include "settings/SegmentedControl.h"
#include "settings/SettingsHost.h"
#include "settings/SettingsOverlay.h"
#include "settings/SettingsRowView.h"
#include "settings/SettingsStyle.h"
#include "settings/SettingsToggle.h"
#include "settings/ThemeCardView.h"
#include "settings/SettingsKeys.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QRandomGenerator>
#include <QTimer>

using namespace settingsui;

namespace {

// One language of the language row: its flag, outlined in green when it is the current language.
class FlagButton : public QWidget {
public:
    FlagButton(const QString& code, const QString& title, bool current, QWidget* parent)
        : QWidget(parent), code_(code), title_(title), current_(current) {
        setFixedSize(24, 22);
        setCursor(Qt::ArrowCursor);
        setAccessibleName(code);
        setObjectName(QStringLiteral("language-") + code);
    }

    std::function<void()> onClick;
    bool isCurrent() const { return current_; }
    QString title() const { return title_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor green = chrome::rgb(0.24, 0.79, 0.63);
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75), 5, 5);
        if (current_) {
            painter.fillPath(path, chrome::withAlpha(green, 0.12));
            painter.setPen(QPen(chrome::withAlpha(green, 0.8), 1.5));
            painter.drawPath(path);
        }
        painter.setFont(chrome::systemFont(15));
        painter.setPen(chrome::white(0.85));
        painter.drawText(QRectF(rect()), Qt::AlignCenter, title_);
    }
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override {
        event->accept();
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick)
            onClick();
    }

private:
    QString code_;
    QString title_;
    bool current_;
};

// The background of the prompt-theme cards; it places the cards one under the other.
class PromptPickerView : public QWidget {
public:
    explicit PromptPickerView(QWidget* parent = nullptr) : QWidget(parent) {}
    QList<ThemeCardView*> cards;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
        painter.fillPath(path, QColor::fromRgbF(0, 0, 0, 0.25));
        painter.setPen(QPen(chrome::white(1.0, 0.04), 1));
        painter.drawPath(path);
    }
    void resizeEvent(QResizeEvent*) override {
        for (int i = 0; i < cards.size(); ++i) cards.at(i)->setGeometry(3, 3 + 17 * i, width() - 6, 16);
    }
};

TextRuns promptPreview(int index) {
    const QFont font = chrome::monoFont(8);
    const QColor light = chrome::white(0.85);
    const QColor dim = chrome::white(0.4);
    const QColor cyan = chrome::rgb(0.30, 0.85, 0.95);
    const QColor yellow = chrome::rgb(0.95, 0.85, 0.35);
    const QColor magenta = chrome::rgb(0.85, 0.45, 0.90);
    const QColor green = chrome::rgb(0.35, 0.85, 0.45);
    const QColor blue = chrome::rgb(0.40, 0.60, 1.00);
    static const QStringList titles{QStringLiteral("Default"), QStringLiteral("Cyber"),
                                    QStringLiteral("Minimal"), QStringLiteral("Power"),
                                    QStringLiteral("Retro"),   QStringLiteral("Lambda"),
                                    QStringLiteral("Starship")};
    TextRuns runs{{titles.at(index).leftJustified(10, QLatin1Char(' ')), font, light}};
    auto piece = [&](const char* text, const QColor& color) {
        runs.append({QString::fromUtf8(text), font, color});
    };
    switch (index) {
    case 0:
        piece("~ %", dim);
        break;
    case 1:
        piece("╭─ ", dim), piece("⚡user", cyan), piece(" ~/dev", yellow), piece(" ‹main ✔›", magenta);
        piece(" ╰─", dim), piece("❯", cyan);
        break;
    case 2:
        piece("dev", blue), piece(" ❯", light);
        break;
    case 3:
        piece("▌", green), piece("user", light), piece("▌", yellow), piece("~/dev", light), piece("▌", blue);
        piece("main", light), piece("▌", dim);
        break;
    case 4:
        piece("[user@pk ~/dev", green), piece(" (main)", yellow), piece("]$", green);
        break;
    case 5:
        piece("λ", magenta), piece(" ~/dev ", cyan), piece("[main]", green), piece(" →", magenta);
        break;
    default:
        piece("~/dev", cyan), piece(" on ", dim), piece("main", magenta), piece(" ❯", green);
        break;
    }
    return runs;
}

SettingsRowView* plainRow(QWidget* parent = nullptr) {
    return new SettingsRowView(parent);
}

} // namespace

QWidget* SettingsOverlay::makeLanguageRow() {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(kEdge, 0, 0, 0);
    layout->setSpacing(4);
    const std::string current = Loc::lang();
    for (const std::string& code : Loc::supported()) {
        const auto flag = Loc::flags().find(code);
        const QString title = qs(flag != Loc::flags().end() ? flag->second : code);
        auto* button = new FlagButton(qs(code), title, code == current, row);
        layout->addWidget(button, 0, Qt::AlignVCenter);
        QPointer<SettingsOverlay> panel(this);
        button->onClick = [panel, code] {
            Loc::setLang(code);
            LanguageNotifier& notifier = LanguageNotifier::shared();
            notifier.post();
            // The owner closes the panel, which is built anew in the new language next time; the
            // second announcement reaches views that were busy while the panel went away.
            QTimer::singleShot(kLanguageCloseDelayMs, &notifier, [panel] {
                QTimer::singleShot(kLanguageRepostDelayMs, &LanguageNotifier::shared(),
                                   [] { LanguageNotifier::shared().post(); });
                if (panel && panel->onClose) panel->onClose();
            });
        };
    }
    layout->addStretch(1);
    return row;
}

QWidget* SettingsOverlay::makeColorThemeRow() {
    auto* row = new ColorThemeRow;
    row->savedIdx = static_cast<int>(defaults_.integer(settings::kColorTheme));
    row->onChanged = [this](const QString& key, int index) {
        defaults_.setValue(key, index);
        report(key, index);
        updateResetButtonState();
    };
    row->onPreview = [this](int index) {
        if (host_) host_->previewTheme(index);
    };
    row->setupButtons();
    return row;
}

QWidget* SettingsOverlay::makePromptThemePicker() {
    auto* picker = new PromptPickerView;
    const int selected = settings::promptThemeIndex(defaults_.string(settings::kPromptTheme));
    for (int i = 0; i < settings::promptThemeNames().size(); ++i) {
        auto* card = new ThemeCardView(promptPreview(i), picker);
        card->setObjectName(QStringLiteral("promptTheme-") + settings::promptThemeNames().at(i));
        card->isChosen = i == selected;
        card->updateLook(false);
        // The controller stores the theme's name; the picker reports only the card's index.
        card->onClick = [this, i] {
            for (int j = 0; j < themeCards_.size(); ++j) {
                themeCards_.at(j)->isChosen = j == i;
                themeCards_.at(j)->updateLook(false);
            }
            report(settings::kPromptTheme, i);
            updateResetButtonState();
        };
        themeCards_.append(card);
        picker->cards.append(card);
    }
    themePickerView_ = picker;
    return picker;
}

QWidget* SettingsOverlay::makeBellRow() {
    auto* row = plainRow();
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(kEdge, 0, kEdge - SettingsToggle::kMargin, 0);
    layout->setSpacing(0);
    layout->addWidget(makeTitle(qs(Loc::bellNotification()), titleColor(), row), 1, Qt::AlignVCenter);
    auto* test =
        new HoverButton(QStringLiteral("TEST"), 9, QFont::Medium, chrome::white(0.75), chrome::white(1.0),
                        chrome::white(1.0, 0.08), chrome::white(1.0, 0.16), chrome::white(1.0, 0.26), 4, row);
    test->setObjectName(QStringLiteral("test"));
    test->setFixedSize(34, 16);
    layout->addWidget(test, 0, Qt::AlignVCenter);
    layout->addSpacing(8 - SettingsToggle::kMargin);
    auto* toggle = new SettingsToggle(defaults_.boolean(settings::kBellEnabled), row);
    layout->addWidget(toggle, 0, Qt::AlignVCenter);
    toggle->onChange = [this](bool on) {
        defaults_.setValue(settings::kBellEnabled, on);
        report(settings::kBellEnabled, on);
        updateResetButtonState();
    };
    QPointer<SettingsOverlay> panel(this);
    test->onClick = [panel] {
        // After the click has finished, so the sound does not hold up the button's own handling.
        QTimer::singleShot(0, panel, [panel] {
            if (panel && panel->host_) panel->host_->ringBellForTest();
        });
    };
    return row;
}

QWidget* SettingsOverlay::makeOSNotificationRow() {
    auto* row = plainRow();
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(kEdge, 0, kEdge - SettingsToggle::kMargin, 0);
    layout->addWidget(makeTitle(QStringLiteral("↳ OS Notification"), subRowTitleColor(), row), 1,
                      Qt::AlignVCenter);
    auto* toggle = new SettingsToggle(defaults_.boolean(settings::kBellOSNotification), row);
    layout->addWidget(toggle, 0, Qt::AlignVCenter);
    toggle->onChange = [this](bool on) {
        defaults_.setValue(settings::kBellOSNotification, on);
        report(settings::kBellOSNotification, on);
    };
    return row;
}

QWidget* SettingsOverlay::makeBellSoundRow() {
    static const QStringList names{QStringLiteral("Purr"),  QStringLiteral("Ping"),   QStringLiteral("Funk"),
                                   QStringLiteral("Glass"), QStringLiteral("Bottle"), QStringLiteral("Frog")};
    auto* row = plainRow();
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(kEdge, 0, kEdge, 0);
    layout->addWidget(makeTitle(QStringLiteral("↳ Sound"), subRowTitleColor(), row), 1, Qt::AlignVCenter);
    const qsizetype stored = names.indexOf(defaults_.string(settings::kBellSoundName));
    auto* control = new SegmentedControl(names, stored < 0 ? 0 : static_cast<int>(stored), row);
    layout->addWidget(control, 0, Qt::AlignVCenter);
    row->setHoverControl(control);
    connect(control, &SegmentedControl::segmentClicked, row, [this](int i) {
        const QString name = names.at(i);
        defaults_.setValue(settings::kBellSoundName, name);
        report(settings::kBellSoundName, name);
        if (!host_) return;
        host_->reloadBellSound();
        // Heard at once as a preview, when the bell is on.
        host_->ringBellForTest();
    });
    return row;
}

QWidget* SettingsOverlay::makeDictationRow() {
    auto* row = plainRow();
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(kEdge, 0, kEdge, 0);
    layout->setSpacing(0);
    layout->addWidget(makeTitle(QStringLiteral("Dictation"), titleColor(), row), 0, Qt::AlignVCenter);
    layout->addSpacing(8 - SettingsToggle::kMargin);
    auto addToggle = [this, row, layout](const QString& key) {
        auto* toggle = new SettingsToggle(defaults_.boolean(key), row);
        toggle->setObjectName(key);
        layout->addWidget(toggle, 0, Qt::AlignVCenter);
        toggle->onChange = [this, key](bool on) {
            defaults_.setValue(key, on);
            report(key, on);
            updateResetButtonState();
        };
    };
    addToggle(settings::kDictationEnabled);
    layout->addSpacing(12 - SettingsToggle::kMargin);
    QLabel* sub = makeLabel(QStringLiteral("Live preview"), chrome::monoFont(9), chrome::white(0.5), row);
    layout->addWidget(sub, 0, Qt::AlignVCenter);
    layout->addSpacing(6 - SettingsToggle::kMargin);
    addToggle(settings::kDictationShowOverlay);
    layout->addStretch(1);
    return row;
}

QWidget* SettingsOverlay::makeStatusRow() {
    auto* row = plainRow();
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(kEdge, 0, kEdge, 0);
    layout->setSpacing(4);
    QLabel* title = makeTitle(qs(Loc::status()), titleColor(), row);
    title->setMinimumWidth(42);
    layout->addWidget(title, 0, Qt::AlignVCenter);
    const bool connected = host_ && host_->hasAIUsageToken();
    QLabel* value = makeLabel(qs(connected ? Loc::connected() : Loc::noToken()), chrome::monoFont(10),
                              connected ? chrome::rgb(0.30, 0.75, 0.40) : chrome::rgb(0.85, 0.40, 0.30), row);
    value->setObjectName(QStringLiteral("value"));
    layout->addWidget(value, 1, Qt::AlignVCenter);
    return row;
}

QString SettingsOverlay::storedPairingCode() {
    const QVariant stored = defaults_.object(settings::kRemotePairingCode);
    if (stored.typeId() == QMetaType::QString && !stored.toString().isEmpty()) return stored.toString();
    // The code admits a viewer to the terminal's output, so it comes from the system's
    // cryptographic generator, never from a predictable one.
    const quint32 n = QRandomGenerator::system()->bounded(1000000u);
    const QString code = QString::asprintf("%06u", n);
    defaults_.setValue(settings::kRemotePairingCode, code);
    return code;
}

QWidget* SettingsOverlay::makeRemoteRow() {
    pairingCode_ = storedPairingCode();
    auto* row = plainRow();
    QLabel* title = makeTitle(QStringLiteral("Remote"), titleColor(), row);
    // Without a relay to meet at, switching on sends nothing; the row says so rather than pretend.
    QString codeLine = QStringLiteral("Code: ") + pairingCode_;
    if (defaults_.string(settings::kRemoteRelayHost).trimmed().isEmpty())
        codeLine += QStringLiteral(" \u00B7 No relay configured");
    QLabel* code = makeLabel(codeLine, chrome::monoFont(9), chrome::white(0.45), row);
    code->setObjectName(QStringLiteral("code"));
    auto* toggle = new SettingsToggle(defaults_.boolean(settings::kRemoteEnabled), row);
    // Two lines in one row: the title above the middle, the code below it, the switch centred.
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(kEdge, 0, kEdge - SettingsToggle::kMargin, 0);
    layout->setSpacing(0);
    auto* lines = new QVBoxLayout;
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(0);
    title->setFixedHeight(14);
    code->setFixedHeight(14);
    lines->addWidget(title);
    lines->addWidget(code);
    layout->addLayout(lines, 1);
    layout->addWidget(toggle, 0, Qt::AlignVCenter);

    const QString shownCode = pairingCode_;
    toggle->onChange = [this, shownCode](bool on) {
        defaults_.setValue(settings::kRemoteEnabled, on);
        if (!host_) return;
        if (on) {
            const QVariant stored = defaults_.object(settings::kRemotePairingCode);
            const bool hasStored = stored.typeId() == QMetaType::QString && !stored.toString().isEmpty();
            host_->startRemoteStreaming(hasStored ? stored.toString() : shownCode);
        } else {
            host_->stopRemoteStreaming();
        }
    };
    return row;
}
