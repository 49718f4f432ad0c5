#include "platform/WindowDescriptor.h"

#include "platform/BusFrame.h"

namespace platform {

namespace {

void appendU32(QByteArray &out, quint32 value)
{
    char bytes[4];
    putU32(bytes, value);
    out.append(bytes, 4);
}

bool takeU32(const QByteArray &in, qsizetype &at, quint32 &value)
{
    if (in.size() - at < 4)
        return false;
    value = getU32(in.constData() + at);
    at += 4;
    return true;
}

bool takeString(const QByteArray &in, qsizetype &at, std::string &text)
{
    quint32 length = 0;
    if (!takeU32(in, at, length) || quint64(in.size() - at) < length)
        return false;
    text.assign(in.constData() + at, length);
    at += qsizetype(length);
    return true;
}

} // namespace

QByteArray encodeWindowDescriptor(const WindowDescriptor &descriptor)
{
    QByteArray out;
    appendU32(out, quint32(descriptor.className.size()));
    out.append(descriptor.className.data(), qsizetype(descriptor.className.size()));
    appendU32(out, quint32(descriptor.windowName.size()));
    out.append(descriptor.windowName.data(), qsizetype(descriptor.windowName.size()));
    appendU32(out, descriptor.processId);
    return out;
}

std::optional<WindowDescriptor> parseWindowDescriptor(const QByteArray &bytes)
{
    WindowDescriptor descriptor;
    qsizetype at = 0;
    if (!takeString(bytes, at, descriptor.className) ||
        !takeString(bytes, at, descriptor.windowName) ||
        !takeU32(bytes, at, descriptor.processId) || at != bytes.size())
        return std::nullopt;
    return descriptor;
}

} // namespace platform
