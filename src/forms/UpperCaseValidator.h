#pragma once

#include <QValidator>

// Turns letters into capitals as they are typed or pasted. Working in validate keeps
// the field's undo history, which replacing the text afterwards would clear.
class UpperCaseValidator : public QValidator
{
    Q_OBJECT

public:
    explicit UpperCaseValidator(QObject *parent = nullptr);

    State validate(QString &input, int &pos) const override;
};
