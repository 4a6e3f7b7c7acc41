#pragma once

#include "chrome/ChromeStyle.h"

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>

// Faces, colours and labels shared by the rows of the settings panel.
namespace settingsui {

inline constexpr int kRowHeight = 28;
inline constexpr int kPromptPickerHeight = 124;
inline constexpr int kRowGap = 12;
inline constexpr int kRowInset = 16;
inline constexpr int kEdge = 10; // from a row's edges to its title and its control

inline QColor titleColor() {
    return chrome::white(0.75);
}
inline QColor subRowTitleColor() {
    return chrome::white(0.5);
}
inline QColor dimmedTitleColor() {
    return chrome::white(0.4);
}
inline QColor accentBlue() {
    return chrome::rgb(0.4, 0.7, 1.0);
}

// A label that only shows text: no frame, no background, no selection.
inline QLabel* makeLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    label->setTextFormat(Qt::PlainText);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

inline void setLabelColor(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

inline QColor labelColor(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

// A row's title: monospaced 10, medium.
inline QLabel* makeTitle(const QString& text, const QColor& color, QWidget* parent) {
    QLabel* label = makeLabel(text, chrome::monoFont(10, QFont::Medium), color, parent);
    label->setObjectName(QStringLiteral("title"));
    return label;
}

} // namespace settingsui
