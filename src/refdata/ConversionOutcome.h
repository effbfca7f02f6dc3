#pragma once

#include "platform/Prompter.h"

#include <QString>

// What one conversion ends with: whether the script was written, and the box the
// operator is shown about it.
struct ConversionOutcome
{
    enum class Status { Ready, InputMissing, OutputFailed };

    Status status = Status::Ready;
    Prompter::Icon icon = Prompter::Icon::Information;
    QString message;

    static ConversionOutcome ready();
    // "<input> niet gevonden" with the download hint on its second line; no icon.
    static ConversionOutcome inputMissing(const QString &inputName, const QString &downloadLine);
    static ConversionOutcome cannotCreate(const QString &path);
    static ConversionOutcome cannotWrite(const QString &path);

    bool isReady() const { return status == Status::Ready; }
    // Shows the message through the current Prompter.
    void report() const;
};
