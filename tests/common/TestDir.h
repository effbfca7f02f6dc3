#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
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
        m_entered = m_dir.isValid() && QDir::setCurrent(m_dir.path());
    }
    ~TestDir() { QDir::setCurrent(m_previous); }
    TestDir(const TestDir &) = delete;
    TestDir &operator=(const TestDir &) = delete;

    bool isValid() const { return m_entered; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    static bool writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(name);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    }
    // The file's bytes; an empty array when it cannot be read.
    static QByteArray readFile(const QString &name)
    {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QString m_previous;
    QTemporaryDir m_dir;
    bool m_entered = false;
};
