#pragma once

#include <QColor>
#include <QList>
#include <QWidget>
#include <functional>

// One chip of the colour-theme row, drawn in the colours of the theme it stands for.
class ColorChipButton : public QWidget {
    Q_OBJECT
public:
    ColorChipButton(int themeIndex, const QString& title, const QColor& chipBG, const QColor& chipFG,
                    QWidget* parent = nullptr);

    int themeIndex() const { return themeIndex_; }
    QString title() const { return title_; }
    QColor chipBG() const { return chipBG_; }
    QColor chipFG() const { return chipFG_; }
    bool isSelected() const { return selected_; }
    void setSelected(bool selected);

    std::function<void(int)> onHoverEnter;
    std::function<void()> onHoverExit;
    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int themeIndex_;
    QString title_;
    QColor chipBG_;
    QColor chipFG_;
    bool selected_ = false;
    bool pressed_ = false;
};

// The colour-theme choice: four chips, "Dark", "Light", "OLED" and "System". Hovering a chip
// previews its theme, leaving it previews the saved one again, and a click saves the chip.
class ColorThemeRow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kChipWidth = 56;
    static constexpr int kChipInset = 4;   // above and below the chips
    static constexpr int kLeading = 8;     // before the first chip
    static constexpr int kChipSpacing = 4; // between chips

    static const QList<QColor>& chipBG();
    static const QList<QColor>& chipFG();
    static const QStringList& chipTitles();

    explicit ColorThemeRow(QWidget* parent = nullptr);

    // Called with "colorTheme" and the index when a chip is clicked.
    std::function<void(const QString&, int)> onChanged;
    // Called with a theme index to show without saving it.
    std::function<void(int)> onPreview;

    int savedIdx = 0;
    // Makes the four chips; called once, after `savedIdx` is set.
    void setupButtons();
    const QList<ColorChipButton*>& buttons() const { return buttons_; }
    void chipTapped(ColorChipButton* sender);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutChips();

    QList<ColorChipButton*> buttons_;
};
