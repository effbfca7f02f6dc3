#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>

// The widget tests' main below needs QApplication; a test without widgets does without.
#if __has_include(<QApplication>)
#include <QApplication>
#endif

// Folders of the test run's own for what the program finds through the environment:
// settings (XDG_CONFIG_HOME), data (XDG_DATA_HOME), sockets (XDG_RUNTIME_DIR) and
// temporary files (TMPDIR), with no KORVA3_HOME to lead elsewhere. Made before the
// application object, so that Qt sees them from the start; the earlier values come back
// when it goes.
class PrivateEnvironment
{
public:
    PrivateEnvironment()
    {
        set("XDG_CONFIG_HOME", QStringLiteral("config"));
        set("XDG_DATA_HOME", QStringLiteral("data"));
        set("XDG_RUNTIME_DIR", QStringLiteral("runtime"));
        set("TMPDIR", QStringLiteral("tmp"));
        m_saved.append({"KORVA3_HOME", qgetenv("KORVA3_HOME"), qEnvironmentVariableIsSet("KORVA3_HOME")});
        qunsetenv("KORVA3_HOME");
        // Qt uses a runtime folder only when it is its owner's alone.
        QFile::setPermissions(m_root.filePath(QStringLiteral("runtime")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    ~PrivateEnvironment()
    {
        for (const Saved &saved : m_saved) {
            if (saved.wasSet)
                qputenv(saved.name.constData(), saved.value);
            else
                qunsetenv(saved.name.constData());
        }
    }
    PrivateEnvironment(const PrivateEnvironment &) = delete;
    PrivateEnvironment &operator=(const PrivateEnvironment &) = delete;

    bool isValid() const { return m_root.isValid(); }
    QString dataHome() const { return m_root.filePath(QStringLiteral("data")); }

private:
    struct Saved
    {
        QByteArray name;
        QByteArray value;
        bool wasSet;
    };

    void set(const char *name, const QString &folder)
    {
        const QString path = m_root.filePath(folder);
        QDir().mkpath(path);
        m_saved.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        qputenv(name, QFile::encodeName(path));
    }

    QTemporaryDir m_root; // in the system's temporary folder, before TMPDIR points here
    QList<Saved> m_saved;
};

// QTEST_MAIN with the environment of its own made first.
#define KORVA3_TEST_MAIN_PRIVATE(TestObject)                                                                           \
    int main(int argc, char *argv[])                                                                                   \
    {                                                                                                                  \
        PrivateEnvironment environment;                                                                                \
        if (!environment.isValid())                                                                                    \
            return 1;                                                                                                  \
        QApplication app(argc, argv);                                                                                  \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                                       \
        TestObject test;                                                                                               \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }

// QTEST_GUILESS_MAIN with the environment of its own made first.
#define KORVA3_TEST_GUILESS_MAIN_PRIVATE(TestObject)                                                                   \
    int main(int argc, char *argv[])                                                                                   \
    {                                                                                                                  \
        PrivateEnvironment environment;                                                                                \
        if (!environment.isValid())                                                                                    \
            return 1;                                                                                                  \
        QCoreApplication app(argc, argv);                                                                              \
        TestObject test;                                                                                               \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
