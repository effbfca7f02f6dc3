#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>

// A fresh temporary folder that is the current directory while the object lives
// (the program database is opened by its relative name).
class TestDir
{
public:
    TestDir()
        : m_previous(QDir::currentPath())
    {
        QDir::setCurrent(m_dir.path());
    }
    ~TestDir() { QDir::setCurrent(m_previous); }
    TestDir(const TestDir &) = delete;
    TestDir &operator=(const TestDir &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QString m_previous;
    QTemporaryDir m_dir;
};
