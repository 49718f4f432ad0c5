#pragma once

#include <QtGlobal>
#include <optional>

namespace platform {

// Waits, without a time-out, until the process `pid` has ended. Nothing when it cannot be
// opened (no such process, or not ours to see). Otherwise its exit code when it is a child of
// ours (128 + the signal number when a signal ended it), else 0: the exit code of another
// process is not available here.
std::optional<int> waitForProcess(qint64 pid);

} // namespace platform
