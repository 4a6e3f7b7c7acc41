#pragma once

#include <QValidator>

// Refuses control characters in the form's fields, typed or pasted: a paste that holds one is not
// taken at all. Text put in by the program (a stored profile being edited) is not checked by the
// field; saving checks it again.
class SSHFieldValidator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};
