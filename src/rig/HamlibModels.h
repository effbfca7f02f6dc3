#pragma once

#include <QList>
#include <QString>

#include <optional>

// One radio model Hamlib knows.
struct HamlibModel
{
    int number = 0;
    QString maker;
    QString name;

    bool operator==(const HamlibModel &other) const
    {
        return number == other.number && maker == other.maker && name == other.name;
    }
};

// Hamlib's models, and the one-time set-up of the library.
namespace HamlibModels {

// Once per program, before any other Hamlib call (best on the window's thread, before
// the link's thread uses Hamlib): Hamlib's own messages go to the korva3.rig log instead
// of the error stream, every backend is loaded (so that later calls only read Hamlib's
// model table, from any thread), and the C library's numbers are set to the "C" locale.
//
// Hamlib 4.5 switches LC_NUMERIC to "C" around some calls and restores it from the name
// it saved, which glibc has freed by then unless the name was "C" already. Nothing of
// Korva3 reads numbers through the C locale (Qt and the band plan parse their own).
void prepare();

// Every model, ordered by maker and name.
QList<HamlibModel> all();
std::optional<HamlibModel> find(int number);

// The version of the Hamlib library in use.
QString version();

} // namespace HamlibModels
