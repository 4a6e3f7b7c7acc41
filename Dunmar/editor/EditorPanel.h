#pragma once

#include <QWidget>

class QLabel;

// The dark rounded panel in the middle of the editor's overlays (the file warnings, the loading
// progress, the print choices), and the centred labels on it.
class EditorPanel : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override;
};

QLabel* makePanelLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent);
