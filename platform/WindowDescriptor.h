#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <optional>
#include <string>

namespace platform {

// The contents of a window's `<handle>.win` file.
struct WindowDescriptor
{
    std::string className;
    std::string windowName;
    quint32 processId = 0;
};

// u32 class-name length, its bytes, u32 window-name length, its bytes, u32 process id; all
// little-endian.
QByteArray encodeWindowDescriptor(const WindowDescriptor &descriptor);

// Nothing when the bytes are not exactly one descriptor.
std::optional<WindowDescriptor> parseWindowDescriptor(const QByteArray &bytes);

} // namespace platform
