#pragma once
// File operations of the programs. They go through here so that tests can
// make any of them fail on purpose.

#include <QString>
#include <functional>

namespace fileops {

enum class Op { Remove, Rename, Write, Copy };

// Makes the file writable by its owner ("archive-only") before it is
// deleted or overwritten. False when the file is missing or stays read-only.
bool makeArchiveOnly(const QString& path);
// Archive-only, then delete. False when the file is still there afterwards.
bool removeFile(const QString& path);
bool isHidden(const QString& path);

// Tests: a hook that answers true for an operation that must fail.
using FaultHook = std::function<bool(Op, const QString& path)>;
void setFaultHook(FaultHook hook);
bool injectedFault(Op op, const QString& path);

}  // namespace fileops
