#include "terminalview/TerminalAccessibility.h"

#include "terminalview/TerminalView.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <algorithm>

namespace {

// The screen as a read-only, multi-line text: its value is the text of the grid rows.
class TerminalAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TerminalAccessible(TerminalView* view) : QAccessibleWidget(view, QAccessible::EditableText) {}

    TerminalView* view() const { return static_cast<TerminalView*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return QStringLiteral("Terminal");
        case QAccessible::Description:
            return QStringLiteral("terminal");
        case QAccessible::Value:
            return view()->accessibilityValue();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.multiLine = true;
        s.editable = false;
        s.focusable = true;
        s.focused = view()->hasFocus();
        return s;
    }

    // ---- Text ----------------------------------------------------------------------------------
    // Nothing of the screen is selected for assistive technology: a terminal selection may reach
    // into the history, which is not part of this text.
    void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}

    // The insertion point is the terminal's cursor.
    int cursorPosition() const override {
        const QStringList lines = view()->accessibilityValue().split(QLatin1Char('\n'));
        const Terminal& t = view()->terminal();
        int offset = 0;
        for (int y = 0; y < lines.size(); ++y) {
            if (y == t.cursorY()) return offset + int(std::min<qsizetype>(t.cursorX(), lines[y].size()));
            offset += int(lines[y].size()) + 1;
        }
        return characterCount();
    }
    void setCursorPosition(int) override {}

    QString text(int startOffset, int endOffset) const override {
        const QString value = view()->accessibilityValue();
        startOffset = std::clamp(startOffset, 0, int(value.size()));
        endOffset = std::clamp(endOffset, startOffset, int(value.size()));
        return value.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(view()->accessibilityValue().size()); }

    QRect characterRect(int offset) const override {
        const QString value = view()->accessibilityValue();
        offset = std::clamp(offset, 0, int(value.size()));
        const int row = int(value.left(offset).count(QLatin1Char('\n')));
        const int lineStart = int(value.lastIndexOf(QLatin1Char('\n'), offset - 1)) + 1;
        const int col = offset - lineStart;
        const TerminalView* v = view();
        const QPointF topLeft(TerminalView::paddingX + col * v->cellW(),
                              TerminalView::paddingY + row * v->cellH());
        return QRect(v->mapToGlobal(topLeft.toPoint()), QSize(int(v->cellW()), int(v->cellH())));
    }

    int offsetAtPoint(const QPoint& point) const override {
        const TerminalView* v = view();
        const QPoint local = v->mapFromGlobal(point);
        const int row = int((local.y() - TerminalView::paddingY) / v->cellH());
        const int col = int((local.x() - TerminalView::paddingX) / v->cellW());
        const QStringList lines = v->accessibilityValue().split(QLatin1Char('\n'));
        if (row < 0 || col < 0 || row >= lines.size() || col >= lines[row].size()) return -1;
        int offset = 0;
        for (int y = 0; y < row; ++y) offset += int(lines[y].size()) + 1;
        return offset + col;
    }

    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = offset;
        return {};
    }
};

QAccessibleInterface* terminalFactory(const QString&, QObject* object) {
    if (auto* view = qobject_cast<TerminalView*>(object)) return new TerminalAccessible(view);
    return nullptr;
}

} // namespace

void installTerminalAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(terminalFactory);
        return true;
    }();
    (void)installed;
}
