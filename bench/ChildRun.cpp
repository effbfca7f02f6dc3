#include "ChildRun.h"

#include <QElapsedTimer>
#include <QFile>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace {

QByteArray orNull(const QString &path)
{
    return path.isEmpty() ? QByteArray("/dev/null") : QFile::encodeName(path);
}

} // namespace

ChildRun ChildRun::run(const QString &program, const QStringList &arguments, const QString &folder,
                       const QString &inputFile, const QString &outputFile)
{
    // Everything the child needs is made before the fork: after it, only system calls.
    const QByteArray executable = QFile::encodeName(program);
    const QByteArray directory = QFile::encodeName(folder);
    const QByteArray input = orNull(inputFile);
    const QByteArray output = orNull(outputFile);
    std::vector<QByteArray> texts{executable};
    for (const QString &argument : arguments)
        texts.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);

    ChildRun result;
    QElapsedTimer timer;
    timer.start();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int in = ::open(input.constData(), O_RDONLY);
        const int out = ::open(output.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::chdir(directory.constData()) != 0)
            ::_exit(127);
        ::execv(executable.constData(), argv.data());
        ::_exit(127);
    }
    if (pid < 0)
        return result;
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid)
        return result;
    result.milliseconds = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    result.exitedCleanly = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    result.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB on Linux
    return result;
}
