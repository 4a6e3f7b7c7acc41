#pragma once

#include "theme/TerminalTheme.h"

#include <QColor>
#include <QWidget>

// The material behind the window's content. X11 offers no blur of what lies behind a window, so the
// material becomes a flat colour of its tone, dark or light by the theme's appearance, whose
// strength is the "blurIntensity" setting. It covers its parent and follows its size, lies below
// every other child, lets every mouse event through, and draws the arrow strip's tint over itself
// while the content view shows the strip.
class WindowBackdrop : public QWidget {
    Q_OBJECT
public:
    explicit WindowBackdrop(QWidget* parent);

    void setMaterial(VisualMaterial material, bool lightAppearance);
    VisualMaterial material() const { return material_; }
    bool isLightAppearance() const { return lightAppearance_; }

    // The fill's opacity, limited to 0 to 1; a value that is not a number is ignored.
    void setIntensity(double intensity);
    double intensity() const { return intensity_; }

    // The colour of a material in an appearance, opaque; and the fill as drawn, with its opacity.
    static QColor materialColor(VisualMaterial material, bool lightAppearance);
    QColor fillColor() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    VisualMaterial material_ = VisualMaterial::hudWindow;
    bool lightAppearance_ = false;
    double intensity_ = 0.96;
};
