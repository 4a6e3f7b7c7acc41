#pragma once

#include "chrome/ChromeAnimation.h"
#include "chrome/ChromeStyle.h"
#include "chrome/TextRuns.h"

#include <QWidget>
#include <functional>
#include <optional>

// The footer's text button for a shell ("^⌥ 1 zsh") or an editor mode ("VIM"): an accent colour,
// an active state and a springy hover.
class ShellButton : public QWidget {
    Q_OBJECT
public:
    static constexpr int kActiveBgMs = 200;
    static constexpr int kEnterBgMs = 150;
    static constexpr int kExitBgMs = 200;
    static constexpr int kPressBgMs = 60;
    static constexpr int kReleaseBgMs = 120;
    static constexpr int kGrowMs = 200;
    static constexpr int kShrinkMs = 180;

    explicit ShellButton(const QString& title, std::optional<QColor> accent = std::nullopt,
                         QWidget* parent = nullptr);

    std::function<void()> onClick;

    void setActive(bool active);
    void animateBg(const QColor& to, int durationMs);

    // "⌘" is set larger and lowered, "⌥" and "⇧" in the system face; every other character in the
    // small monospaced face.
    static TextRuns styledTitle(const QString& text, const QColor& color, QFont::Weight weight);

    bool isActiveShell() const { return activeShell_; }
    bool isHovered() const { return hovered_; }
    QColor accentColor() const { return accent_; }
    QColor shownBackground() const { return bg_->color(); }
    QColor backgroundTarget() const { return bg_->targetColor(); }
    // Which of the three looks the label has now.
    enum class TitleLook { inactive, active, hovered };
    TitleLook titleLook() const { return look_; }
    const TextRuns& shownTitle() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool hovered_ = false;
    bool activeShell_ = false;
    QColor accent_ = chrome::rgb(0.4, 0.65, 1.0);
    QColor inactiveColor_ = chrome::white(0.4);
    TextRuns inactiveTitle_;
    TextRuns activeTitle_;
    TextRuns hoveredTitle_;
    TitleLook look_ = TitleLook::inactive;
    chrome::Tween* bg_;
    chrome::Tween* labelScale_;
};
