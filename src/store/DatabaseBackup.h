#pragma once

#include <QString>

#include <functional>

// A complete, consistent copy of an SQLite database made with SQLite's online backup:
// the copy is taken page by page while other programs go on reading and writing (a
// write in between makes SQLite start the copy again), into a temporary file beside
// the target that takes the target's name only when the copy is whole. A failed copy
// leaves no file behind and the target, if there was one, as it was.
namespace DatabaseBackup {

// Copies `source` to `target`, calling `progress` with 0 to 100 as pages are copied
// (may be empty). False with SQLite's or the file system's reason in `error`.
bool copy(const QString &source, const QString &target, const std::function<void(int)> &progress,
          QString *error);

} // namespace DatabaseBackup
