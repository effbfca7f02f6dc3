#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class QTextStream;
struct ServiceOutcome;

// korva3-cli's exchanges with the confirmation services:
//   lotw download|upload LOGBOOK, eqsl download|upload LOGBOOK, clublog upload LOGBOOK
// with --url URL, --user USER and --password-stdin (the password is the first line of
// standard input: never an argument, which every user of the machine could read), and
// the service's own options. Prints what was matched, unmatched, sent and refused.
// Accounts and addresses not given come from the settings Setup keeps.
class ServiceCommand
{
public:
    enum Exit { Success = 0, Failed = 1, Usage = 2 };

    ServiceCommand(QTextStream &out, QTextStream &err, QTextStream *in);

    // `service` is "lotw", "eqsl" or "clublog"; `arguments` what follows it.
    int run(const QString &service, const QStringList &arguments);

    // The options each service takes besides --url, --user and --password-stdin.
    static const QHash<QString, QStringList> &serviceOptions();

private:
    int lotw(const QString &action, const QString &logbook);
    int eqsl(const QString &action, const QString &logbook);
    int clubLog(const QString &action, const QString &logbook);
    bool readPassword(QString &password);
    int report(const QString &what, const ServiceOutcome &outcome);
    int usage(const QString &problem);

    QTextStream &m_out;
    QTextStream &m_err;
    QTextStream *m_in;
    QHash<QString, QString> m_options;
    bool m_passwordFromStdin = false;
    bool m_all = false;
};
