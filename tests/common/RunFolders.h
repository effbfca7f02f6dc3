#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include <utility>

// Folders of this test run's own for what the application reaches through the
// environment: settings (XDG_CONFIG_HOME), sockets (XDG_RUNTIME_DIR) and the
// single-instance lock and socket (TMPDIR). Set for this process and every program it
// starts, for as long as the object lives.
class RunFolders
{
public:
    RunFolders()
    {
        m_ready = m_dir.isValid();
        for (const char *folder : {"config", "runtime", "tmp"})
            m_ready = m_ready && QDir(m_dir.path()).mkpath(QLatin1String(folder));
        m_ready = m_ready
               && QFile::setPermissions(m_dir.filePath("runtime"),
                                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (!m_ready)
            return;
        for (const auto &[name, folder] : {std::pair{"XDG_CONFIG_HOME", "config"}, std::pair{"XDG_RUNTIME_DIR", "runtime"},
                                           std::pair{"TMPDIR", "tmp"}}) {
            m_previous.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
            qputenv(name, QFile::encodeName(m_dir.filePath(QLatin1String(folder))));
        }
    }
    ~RunFolders()
    {
        for (const Previous &previous : m_previous) {
            if (previous.set)
                qputenv(previous.name, previous.value);
            else
                qunsetenv(previous.name);
        }
    }
    RunFolders(const RunFolders &) = delete;
    RunFolders &operator=(const RunFolders &) = delete;

    bool isReady() const { return m_ready; }

private:
    struct Previous
    {
        const char *name;
        QByteArray value;
        bool set;
    };

    QTemporaryDir m_dir;
    QList<Previous> m_previous;
    bool m_ready = false;
};
