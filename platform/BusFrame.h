#pragma once

#include "platform/MessageBus.h"

#include <QByteArray>
#include <array>
#include <cstddef>
#include <cstdint>

namespace platform {

inline constexpr std::size_t busFrameHeaderSize = 16;
// The largest data block a receiver accepts; checked before anything is allocated for it.
inline constexpr quint32 busMaxDataSize = 64u * 1024 * 1024;

struct BusFrameHeader
{
    quint32 message = 0;
    quint32 wParam = 0;
    quint32 dwData = 0;
    quint32 cbData = 0;
};

// The bytes of one send: the 16-byte header (little-endian) and the data block.
QByteArray encodeBusFrame(const BusFrameHeader &header, const QByteArray &data);

// Little-endian helpers shared by the bus's file and wire formats.
void putU32(char *out, quint32 value);
quint32 getU32(const char *in);

// Assembles one frame from bytes as they arrive, in pieces of any size.
class BusFrameReader
{
public:
    enum class State { Header, Body, Complete, TooLarge };

    State state() const { return state_; }
    const BusFrameHeader &header() const { return header_; }
    bool started() const { return headerFill_ > 0; }

    // Where the next bytes may be read to: never past the end of the frame. Empty once the
    // frame is complete or refused. The body grows as its bytes arrive, so a peer that only
    // announces a large block does not make us allocate it.
    char *space(std::size_t &size);
    // Takes note that `size` bytes were written to the area space() gave.
    void commit(std::size_t size);

    // Copies bytes in (for callers that already hold them); returns how many it took.
    std::size_t feed(const char *data, std::size_t size);

    // The data block of a complete frame.
    QByteArray takeData();

private:
    void finishHeader();

    State state_ = State::Header;
    std::array<char, busFrameHeaderSize> headerBytes_{};
    std::size_t headerFill_ = 0;
    BusFrameHeader header_;
    QByteArray body_;
    std::size_t bodyFill_ = 0;
};

} // namespace platform
