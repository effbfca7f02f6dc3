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

// Once per program, before any other Hamlib call: Hamlib's own messages go to the
// korva3.rig log instead of the error stream, and every backend is loaded (so that
// later calls only read Hamlib's model table, from any thread).
void prepare();

// Every model, ordered by maker and name.
QList<HamlibModel> all();
std::optional<HamlibModel> find(int number);

// The version of the Hamlib library in use.
QString version();

} // namespace HamlibModels
