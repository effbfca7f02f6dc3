#pragma once

#include <QHash>
#include <QList>
#include <QString>

// The benchmark's figures, each with the baseline timed in the same run (when it has
// one), their ratio and its goal, printed as a table or as JSON lines, one per figure.
class BenchTable
{
public:
    enum class Goal { None, AtMost, AtLeast };

    struct Figure
    {
        QString name;
        double value = 0;
        QString unit;
        QString baselineName; // empty when the figure has no baseline
        double baseline = 0;
        Goal goal = Goal::None;
        double goalValue = 0;
        bool goalOnRatio = false; // the goal bounds value / baseline, else the value

        double ratio() const { return baseline > 0 ? value / baseline : 0; }
        bool met() const;
        QString goalText() const;
    };

    void add(const Figure &figure);
    // A figure without baseline and goal.
    void add(const QString &name, double value, const QString &unit);

    void printTable() const;
    void printJson() const;
    // Reads a previous run's JSON lines; the table then shows each figure's last value.
    bool loadLast(const QString &path);

private:
    QList<Figure> m_figures;
    QHash<QString, double> m_last;
};
