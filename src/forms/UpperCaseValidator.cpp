#include "UpperCaseValidator.h"

UpperCaseValidator::UpperCaseValidator(QObject *parent)
    : QValidator(parent)
{
}

QValidator::State UpperCaseValidator::validate(QString &input, int &pos) const
{
    (void)pos;
    input = input.toUpper();
    return Acceptable;
}
