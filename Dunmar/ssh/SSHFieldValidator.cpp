#include "ssh/SSHFieldValidator.h"

#include "ssh/SSHProfile.h"

QValidator::State SSHFieldValidator::validate(QString& input, int&) const {
    return hasControlCharacters(input) ? Invalid : Acceptable;
}
