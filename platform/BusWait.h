#pragma once

namespace platform {

// Waits until `fd` has one of `events` (poll flags) and returns its revents, or 0 after
// timeoutMs (< 0: no limit). Meanwhile it serves the sends that reach the calling thread's
// own windows, and nothing else: no other event of the Qt loop runs.
short waitServingOwnWindows(int fd, short events, int timeoutMs);

} // namespace platform
