#pragma once

#include "webpicker/ConsoleAnswer.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

class WebPickerConnection;

// The script console's model: an expression typed by the user is evaluated in the connected page
// and its value or error becomes the text of the result line; the last twenty expressions are kept,
// newest first, for the arrow keys.
class ScriptConsole : public QObject {
    Q_OBJECT
public:
    explicit ScriptConsole(WebPickerConnection& connection, QObject* parent = nullptr);

    const QStringList& history() const { return history_; }

    // Evaluates the typed text, trimmed of blanks; nothing (not even the history) changes when it is
    // blank or no page is connected.
    void evaluate(const QString& typed);

    // An arrow key in the input line walks the history. `handled` is false for a key the line keeps
    // for itself; `line` is the text the line shows now, none when it stays as it is.
    struct Step {
        bool handled = false;
        std::optional<QString> line;
    };
    Step browse(int key);

    static constexpr int kHistoryMax = 20;

signals:
    // An evaluation went out; its answer follows.
    void evaluating();
    void answered(const ConsoleAnswer& answer);

private:
    WebPickerConnection& connection_;
    QStringList history_;
    // The entry the arrow keys stand on; -1 while not browsing.
    int historyIdx_ = -1;
};
