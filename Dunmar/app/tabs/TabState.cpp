#include "app/tabs/TabState.h"

#include <QRandomGenerator>

QString gitPanelPositionName(GitPanelPosition position) {
    switch (position) {
    case GitPanelPosition::right:
        return QStringLiteral("right");
    case GitPanelPosition::bottom:
        return QStringLiteral("bottom");
    case GitPanelPosition::none:
        break;
    }
    return QStringLiteral("none");
}

QString editorInputModeName(EditorInputMode mode) {
    switch (mode) {
    case EditorInputMode::nano:
        return QStringLiteral("nano");
    case EditorInputMode::vim:
        return QStringLiteral("vim");
    case EditorInputMode::normal:
        break;
    }
    return QStringLiteral("normal");
}

QWidget* TabState::page() const {
    if (splitContainer) return splitContainer;
    return editorView;
}

TabState TabState::terminal(TerminalView* view, SplitContainer* container, QColor color) {
    TabState tab;
    tab.termView = view;
    tab.type = TabType::terminal;
    tab.splitContainer = container;
    tab.color = color;
    return tab;
}

TabState TabState::editor(EditorView* view, QColor color) {
    TabState tab;
    tab.type = TabType::editor;
    tab.editorView = view;
    tab.color = color;
    return tab;
}

QColor tabColorForHue(double hue) {
    return QColor::fromHsvF(static_cast<float>(hue), 0.65f, 0.85f, 1.0f);
}

double randomTabHue() {
    const quint64 bits = QRandomGenerator::global()->generate64() >> 11; // 53 bits
    return static_cast<double>(bits) / static_cast<double>(quint64(1) << 53);
}

std::optional<double> tabColorHue(const QColor& color) {
    if (!color.isValid()) return std::nullopt;
    const float hue = color.toHsv().hsvHueF();
    if (hue < 0) return std::nullopt;
    return static_cast<double>(hue);
}
