#pragma once

#include <QObject>

// Announces a change of the interface language. The settings panel posts it twice (once at the
// click, once after the panel has closed), so whoever relabels on it must do so idempotently.
class LanguageNotifier : public QObject {
    Q_OBJECT
public:
    static LanguageNotifier& shared();
    void post() { emit appLanguageChanged(); }

signals:
    void appLanguageChanged();
};
