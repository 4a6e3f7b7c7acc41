#pragma once

#include <QString>

// What an action reports on the panel's feedback line.
struct GitOutcome {
    QString text;
    bool success = false;
};
