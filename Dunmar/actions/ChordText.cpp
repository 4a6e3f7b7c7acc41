#include "actions/ChordText.h"

#include "actions/KeyBindings.h"

#include <QKeySequence>

namespace chordtext {
namespace {

struct KeyNames {
    QString badge;
    QString words;
};

KeyNames keyNames(Qt::Key key) {
    switch (key) {
    case Qt::Key_Tab:
        return {QStringLiteral("⇥"), QStringLiteral("Tab")};
    case Qt::Key_Left:
        return {QStringLiteral("←"), QStringLiteral("Left")};
    case Qt::Key_Right:
        return {QStringLiteral("→"), QStringLiteral("Right")};
    case Qt::Key_Backspace:
        return {QStringLiteral("⌫"), QStringLiteral("Backspace")};
    default: {
        // Letters, digits and punctuation as the key cap shows them.
        const QString name = QKeySequence(key).toString(QKeySequence::PortableText);
        return {name, name};
    }
    }
}

} // namespace

Badge badge(QKeyCombination chord) {
    const Qt::KeyboardModifiers m = chord.keyboardModifiers();
    Badge out;
    if (m.testFlag(Qt::ControlModifier)) out.modifiers += QStringLiteral("^");
    if (m.testFlag(Qt::ShiftModifier)) out.modifiers += QStringLiteral("⇧");
    if (m.testFlag(Qt::AltModifier)) out.modifiers += QStringLiteral("⌥");
    if (m.testFlag(Qt::MetaModifier)) out.modifiers += QStringLiteral("❖");
    out.key = keyNames(chord.key()).badge;
    return out;
}

QString words(QKeyCombination chord) {
    const Qt::KeyboardModifiers m = chord.keyboardModifiers();
    QString out;
    if (m.testFlag(Qt::ControlModifier)) out += QStringLiteral("Ctrl+");
    if (m.testFlag(Qt::ShiftModifier)) out += QStringLiteral("Shift+");
    if (m.testFlag(Qt::AltModifier)) out += QStringLiteral("Alt+");
    if (m.testFlag(Qt::MetaModifier)) out += QStringLiteral("Super+");
    return out + keyNames(chord.key()).words;
}

Badge badgeFor(Action action) {
    const QList<QKeyCombination> chords = bindings::chordsOf(action);
    return chords.isEmpty() ? Badge{} : badge(chords.first());
}

QString wordsFor(Action action) {
    const QList<QKeyCombination> chords = bindings::chordsOf(action);
    return chords.isEmpty() ? QString() : words(chords.first());
}

QString tooltip(const QString& text, Action action) {
    const QString chord = wordsFor(action);
    return chord.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, chord);
}

} // namespace chordtext
