#pragma once

// A write beyond the file-size limit of the process (a shell's `ulimit -f`, a limit a
// service manager sets) makes the kernel send SIGXFSZ, whose default ends the program
// on the spot, in the middle of a write and without a word. Ignored, the same write
// fails with EFBIG instead, and the failure takes the path of any other write that
// fails: SQLite rolls the transaction back and the operator is told.
namespace FileSizeSignal {

// Called first thing in main() of every program that writes logbooks.
void ignore();

} // namespace FileSizeSignal
