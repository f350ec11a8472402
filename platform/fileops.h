#pragma once
// File operations of the programs. They go through here so that tests can
// make any of them fail on purpose.

#include <QString>
#include <functional>

namespace fileops {

// RenameNoReplace fails with EPERM, as on a file system without the call;
// Sync fails an fsync.
enum class Op { Remove, Rename, Write, Copy, RenameNoReplace, Sync };

// Makes the file writable by its owner ("archive-only") before it is
// deleted or overwritten. False when the file is missing or stays read-only.
bool makeArchiveOnly(const QString& path);
// Archive-only, then delete. False when the file is still there afterwards.
bool removeFile(const QString& path);
bool isHidden(const QString& path);

// Gives `from` the name `to`, never replacing a file that has it: one
// renameat2(RENAME_NOREPLACE), or where the file system lacks it (FAT and
// many network mounts) an exclusive create that takes the name, then a
// rename over that empty file. False when `to` exists or a step fails.
bool renameNoReplace(const QString& from, const QString& to);
// fsync of an open file, and of a folder (so a rename in it is on disk).
bool syncFile(int fd, const QString& path);
bool syncFolder(const QString& folder);
// Two names of one file: the same cleaned path, or the same device and
// inode (a hard link, a folder reached through a symbolic link).
bool sameFile(const QString& a, const QString& b);

// Tests: a hook that answers true for an operation that must fail.
using FaultHook = std::function<bool(Op, const QString& path)>;
void setFaultHook(FaultHook hook);
bool injectedFault(Op op, const QString& path);

}  // namespace fileops
