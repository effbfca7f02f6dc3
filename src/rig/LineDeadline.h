#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <mutex>
#include <thread>

// A time limit on a call that talks to a radio through a library that cannot be told to
// stop (Hamlib). When the call has not come back in time, the line's file descriptor is
// swapped for /dev/null opened for writing only, whose reads fail at once: the
// library's read loop then ends with an error, whatever it waited for or spun on (a
// hung-up terminal that reads as empty for ever). A line that hangs up before the time
// is up goes at once. The line is of no use after that and must be closed; expired()
// says so.
//
// The descriptor is read only when the time is up, as the library may open the line
// during the call, and swapped only when it still refers to the line's file (the same
// device and inode) and while the object lives: a descriptor the library has closed,
// and the system may have given to another part of the program, is never touched.
class LineDeadline
{
public:
    // The device node or socket a line is open on; invalid when unknown.
    struct Line
    {
        dev_t device = 0;
        ino_t inode = 0;
        bool valid = false;

        static Line ofPath(const char *path);
        static Line ofDescriptor(int fd);
        bool operator==(const Line &other) const
        {
            return valid && other.valid && device == other.device && inode == other.inode;
        }
    };

    // `fd` is the library's own field for the line's descriptor.
    LineDeadline(const int &fd, const Line &line, int milliseconds);
    ~LineDeadline();
    LineDeadline(const LineDeadline &) = delete;
    LineDeadline &operator=(const LineDeadline &) = delete;

    bool expired() const;

private:
    void watch(int milliseconds);

    const int &m_fd;
    const Line m_line;
    mutable std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    bool m_expired = false;
    std::thread m_watcher;
};
