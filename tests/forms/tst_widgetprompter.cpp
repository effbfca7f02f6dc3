#include "forms/WidgetPrompter.h"

#include <QtTest>

// The real Prompter's translations of the Windows-style file dialog settings.
class WidgetPrompterTest : public QObject
{
    Q_OBJECT

private slots:
    void filters_data();
    void filters();
    void defaultExtension_data();
    void defaultExtension();
};

void WidgetPrompterTest::filters_data()
{
    QTest::addColumn<QString>("pairs");
    QTest::addColumn<QString>("expected");
    QTest::newRow("logbook") << "Logbook Files (*.sqlite3)|*.sqlite3|All Files (*.*)|*.*||"
                             << "Logbook Files (*.sqlite3);;All Files (*)";
    QTest::newRow("several patterns") << "ADIF (*.adi;*.adif)|*.adi;*.adif||" << "ADIF (*.adi *.adif)";
    QTest::newRow("description without patterns") << "Text|*.txt||" << "Text (*.txt)";
}

void WidgetPrompterTest::filters()
{
    QFETCH(QString, pairs);
    QFETCH(QString, expected);
    QCOMPARE(WidgetPrompter::qtFilter(pairs), expected);
}

void WidgetPrompterTest::defaultExtension_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("expected");
    QTest::newRow("added") << "/tmp/log" << "sqlite3" << "/tmp/log.sqlite3";
    QTest::newRow("own extension kept") << "/tmp/log.db" << "sqlite3" << "/tmp/log.db";
    QTest::newRow("dot in a folder name only") << "/tmp/v1.2/log" << "adi" << "/tmp/v1.2/log.adi";
    QTest::newRow("cancelled") << "" << "adi" << "";
}

void WidgetPrompterTest::defaultExtension()
{
    QFETCH(QString, path);
    QFETCH(QString, extension);
    QFETCH(QString, expected);
    QCOMPARE(WidgetPrompter::withDefaultExtension(path, extension), expected);
}

QTEST_GUILESS_MAIN(WidgetPrompterTest)
#include "tst_widgetprompter.moc"
