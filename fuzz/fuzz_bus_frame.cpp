// Arbitrary bytes for the message bus's readers: the wire frame (fed in pieces whose sizes the
// input chooses), the window descriptor and the registry file.

#include "platform/BusFrame.h"
#include "platform/RegistryFile.h"
#include "platform/WindowDescriptor.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void readFrame(const char *data, std::size_t size)
{
    if (size == 0)
        return;
    const std::size_t piece = std::size_t(std::uint8_t(data[0])) + 1;
    platform::BusFrameReader reader;
    std::size_t at = 1;
    while (at < size) {
        const std::size_t n = std::min(piece, size - at);
        const std::size_t taken = reader.feed(data + at, n);
        check(taken <= n);
        at += taken;
        if (taken < n)
            break;
    }
    using State = platform::BusFrameReader::State;
    if (reader.state() == State::Complete) {
        const QByteArray block = reader.takeData();
        check(quint32(block.size()) == reader.header().cbData);
        check(reader.header().cbData <= platform::busMaxDataSize);
    }
    if (reader.state() == State::TooLarge)
        check(reader.header().cbData > platform::busMaxDataSize);
}

void readDescriptor(const char *data, std::size_t size)
{
    const QByteArray bytes(data, qsizetype(size));
    if (const auto descriptor = platform::parseWindowDescriptor(bytes))
        check(platform::encodeWindowDescriptor(*descriptor) == bytes);
}

void readRegistry(const char *data, std::size_t size)
{
    const std::string_view text(data, size);
    const auto value = platform::findRegistryString(
        text, "HKEY_LOCAL_MACHINE\\Software\\Zantro\\torvane\\demon", "ViewerHandle");
    if (value)
        check(value->size() < size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const char *bytes = reinterpret_cast<const char *>(data);
    readFrame(bytes, size);
    readDescriptor(bytes, size);
    readRegistry(bytes, size);
    return 0;
}
