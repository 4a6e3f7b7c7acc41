#include "webpicker/ScriptConsole.h"

#include "webpicker/ChromeCDPClient.h"
#include "webpicker/UrlHistory.h"
#include "webpicker/WebPickerConnection.h"

#include <QPointer>

ScriptConsole::ScriptConsole(WebPickerConnection& connection, QObject* parent)
    : QObject(parent), connection_(connection) {}

void ScriptConsole::evaluate(const QString& typed) {
    const QString expression = urlhistory::trimBlanks(typed);
    if (expression.isEmpty() || !connection_.isConnected()) return;
    history_.prepend(expression);
    while (history_.size() > kHistoryMax) history_.removeLast();
    historyIdx_ = -1;
    emit evaluating();
    const QPointer<ScriptConsole> self(this);
    connection_.cdp().evaluate(expression, [self](std::optional<QJsonObject> answer) {
        if (self) emit self->answered(consoleAnswer(answer));
    });
}

ScriptConsole::Step ScriptConsole::browse(int key) {
    if (key == Qt::Key_Up) {
        const int i = std::min(static_cast<int>(history_.size()) - 1, historyIdx_ + 1);
        if (i < 0) return {true, std::nullopt};
        historyIdx_ = i;
        return {true, history_.at(i)};
    }
    if (key == Qt::Key_Down) {
        if (historyIdx_ < 0) return {};
        if (historyIdx_ == 0) {
            historyIdx_ = -1;
            return {true, QString()};
        }
        --historyIdx_;
        return {true, history_.at(historyIdx_)};
    }
    return {};
}
