// trxsim: a transceiver on a pseudo-terminal for trying the link without a radio.
//   trxsim [--short | --silent] [--log FILE] FREQUENCY_HZ MODE
// Prints the device it serves, then answers the FT-897 and FT-1000mp commands that read
// frequency and mode (the logbook's and Hamlib's) until it gets SIGINT or SIGTERM, or,
// when standard input is a pipe, until that closes.

#include "PtyTransceiver.h"
#include "TrxSimulator.h"

#include <QStringList>

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: trxsim [--short | --silent] [--log FILE] FREQUENCY_HZ MODE\n"
                 "  MODE is one of %s\n"
                 "  --short     answer one byte short\n"
                 "  --silent    do not answer\n"
                 "  --log FILE  append the bytes received and sent to FILE\n",
                 qPrintable(TrxSimulator::modeNames().join(QLatin1Char(' '))));
    return 2;
}

bool standardInputIsPipe()
{
    struct stat info{};
    return ::fstat(STDIN_FILENO, &info) == 0 && S_ISFIFO(info.st_mode);
}

// Returns when a stop signal arrives or a piped standard input closes.
void waitForEnd(int signalFd)
{
    pollfd fds[2] = {{signalFd, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    const nfds_t count = standardInputIsPipe() ? 2 : 1;
    char buffer[256];
    for (;;) {
        if (::poll(fds, count, -1) < 0)
            continue;
        if (fds[0].revents)
            return;
        if (count == 2 && fds[1].revents && ::read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            return;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    TrxSimulator::Reply reply = TrxSimulator::Reply::Full;
    QString logFile;
    while (!arguments.isEmpty() && arguments.first().startsWith(QLatin1String("--"))) {
        const QString option = arguments.takeFirst();
        if (option == QLatin1String("--short") && reply == TrxSimulator::Reply::Full)
            reply = TrxSimulator::Reply::Short;
        else if (option == QLatin1String("--silent") && reply == TrxSimulator::Reply::Full)
            reply = TrxSimulator::Reply::None;
        else if (option == QLatin1String("--log") && !arguments.isEmpty() && logFile.isEmpty())
            logFile = arguments.takeFirst();
        else
            return usage();
    }
    if (arguments.size() != 2)
        return usage();
    bool isNumber = false;
    const qint64 frequencyHz = arguments.at(0).toLongLong(&isNumber);
    const std::optional<TrxMode> mode = TrxSimulator::modeByName(arguments.at(1));
    if (!isNumber || frequencyHz < 0 || !mode)
        return usage();

    // The serving thread inherits the blocked signals, so they reach only the signal fd.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    const int signalFd = ::signalfd(-1, &stopSignals, 0);

    PtyTransceiver transceiver(TrxSimulator(frequencyHz, *mode, reply));
    if (!logFile.isEmpty() && !transceiver.setLogFile(logFile)) {
        std::fprintf(stderr, "trxsim: cannot write %s\n", qPrintable(logFile));
        return 1;
    }
    if (signalFd < 0 || !transceiver.start()) {
        std::fprintf(stderr, "trxsim: no pseudo-terminal\n");
        return 1;
    }
    std::printf("%s\n", qPrintable(transceiver.devicePath()));
    std::fflush(stdout);
    waitForEnd(signalFd);
    transceiver.stop();
    ::close(signalFd);
    return 0;
}
