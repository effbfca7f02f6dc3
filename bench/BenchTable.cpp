#include "BenchTable.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

bool BenchTable::Figure::met() const
{
    const double measured = goalOnRatio ? ratio() : value;
    switch (goal) {
    case Goal::AtMost: return measured <= goalValue;
    case Goal::AtLeast: return measured >= goalValue;
    case Goal::None: break;
    }
    return true;
}

QString BenchTable::Figure::goalText() const
{
    if (goal == Goal::None)
        return QString();
    const QString bound = QString::number(goalValue, 'g', 6);
    const QString subject = goalOnRatio ? QStringLiteral("ratio") : unit;
    return goalOnRatio ? QStringLiteral("%1 %2 %3").arg(subject, goal == Goal::AtMost ? "<=" : ">=", bound)
                       : QStringLiteral("%1 %2 %3").arg(goal == Goal::AtMost ? "<=" : ">=", bound, subject);
}

void BenchTable::add(const Figure &figure)
{
    m_figures.append(figure);
}

void BenchTable::add(const QString &name, double value, const QString &unit)
{
    Figure figure;
    figure.name = name;
    figure.value = value;
    figure.unit = unit;
    m_figures.append(figure);
}

void BenchTable::printTable() const
{
    std::printf("%-48s %12s %-8s %12s %7s  %-18s %s%s\n", "figure", "value", "unit", "baseline", "ratio", "goal",
                "met", m_last.isEmpty() ? "" : "   last run");
    for (const Figure &f : m_figures) {
        const QByteArray baseline = f.baselineName.isEmpty() ? QByteArray("-") : QByteArray::number(f.baseline, 'f', 2);
        const QByteArray ratio = f.baselineName.isEmpty() ? QByteArray("-") : QByteArray::number(f.ratio(), 'f', 2);
        const QByteArray met = f.goal == Goal::None ? QByteArray("") : QByteArray(f.met() ? "yes" : "NO");
        QByteArray last;
        if (m_last.contains(f.name))
            last = "   " + QByteArray::number(m_last.value(f.name), 'f', 2);
        std::printf("%-48s %12.2f %-8s %12s %7s  %-18s %-3s%s\n", qPrintable(f.name), f.value, qPrintable(f.unit),
                    baseline.constData(), ratio.constData(), qPrintable(f.goalText()), met.constData(),
                    last.constData());
    }
    std::printf("baselines:\n");
    QStringList shown;
    for (const Figure &f : m_figures) {
        if (!f.baselineName.isEmpty() && !shown.contains(f.name)) {
            shown.append(f.name);
            std::printf("  %-46s %s\n", qPrintable(f.name), qPrintable(f.baselineName));
        }
    }
}

void BenchTable::printJson() const
{
    for (const Figure &f : m_figures) {
        QJsonObject line{{QStringLiteral("figure"), f.name}, {QStringLiteral("value"), f.value},
                         {QStringLiteral("unit"), f.unit}};
        if (!f.baselineName.isEmpty()) {
            line.insert(QStringLiteral("baseline"), f.baseline);
            line.insert(QStringLiteral("baselineName"), f.baselineName);
            line.insert(QStringLiteral("ratio"), f.ratio());
        }
        if (f.goal != Goal::None) {
            line.insert(QStringLiteral("goal"), f.goalText());
            line.insert(QStringLiteral("met"), f.met());
        }
        if (m_last.contains(f.name))
            line.insert(QStringLiteral("last"), m_last.value(f.name));
        std::printf("%s\n", QJsonDocument(line).toJson(QJsonDocument::Compact).constData());
    }
}

bool BenchTable::loadLast(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    while (!file.atEnd()) {
        const QJsonObject line = QJsonDocument::fromJson(file.readLine()).object();
        if (line.contains(QStringLiteral("figure")))
            m_last.insert(line.value(QStringLiteral("figure")).toString(), line.value(QStringLiteral("value")).toDouble());
    }
    return true;
}
