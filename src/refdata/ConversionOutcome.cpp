#include "ConversionOutcome.h"

#include <QDir>

ConversionOutcome ConversionOutcome::ready()
{
    return {Status::Ready, Prompter::Icon::Information, QStringLiteral("Ready")};
}

ConversionOutcome ConversionOutcome::inputMissing(const QString &inputName, const QString &downloadLine)
{
    return {Status::InputMissing, Prompter::Icon::None,
            inputName + QStringLiteral(" niet gevonden\n") + downloadLine};
}

ConversionOutcome ConversionOutcome::cannotCreate(const QString &path)
{
    return {Status::OutputFailed, Prompter::Icon::Error,
            QDir::toNativeSeparators(path) + QStringLiteral(" kan niet worden aangemaakt")};
}

ConversionOutcome ConversionOutcome::cannotWrite(const QString &path)
{
    return {Status::OutputFailed, Prompter::Icon::Error,
            QDir::toNativeSeparators(path) + QStringLiteral(" kan niet worden geschreven")};
}

void ConversionOutcome::report() const
{
    Prompter::current().message(icon, message);
}
