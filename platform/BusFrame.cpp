#include "platform/BusFrame.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// The body grows by at most this much ahead of the bytes that arrived.
constexpr std::size_t bodyGrowth = 1024 * 1024;

} // namespace

void putU32(char *out, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        out[i] = char((value >> (8 * i)) & 0xFF);
}

quint32 getU32(const char *in)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | quint8(in[i]);
    return value;
}

QByteArray encodeBusFrame(const BusFrameHeader &header, const QByteArray &data)
{
    QByteArray frame(qsizetype(busFrameHeaderSize), Qt::Uninitialized);
    putU32(frame.data(), header.message);
    putU32(frame.data() + 4, header.wParam);
    putU32(frame.data() + 8, header.dwData);
    putU32(frame.data() + 12, quint32(data.size()));
    frame.append(data);
    return frame;
}

char *BusFrameReader::space(std::size_t &size)
{
    switch (state_) {
    case State::Header:
        size = busFrameHeaderSize - headerFill_;
        return headerBytes_.data() + headerFill_;
    case State::Body: {
        const std::size_t total = header_.cbData;
        if (std::size_t(body_.size()) == bodyFill_)
            body_.resize(qsizetype(std::min(total, bodyFill_ + bodyGrowth)));
        size = std::size_t(body_.size()) - bodyFill_;
        return body_.data() + bodyFill_;
    }
    case State::Complete:
    case State::TooLarge:
        break;
    }
    size = 0;
    return nullptr;
}

void BusFrameReader::commit(std::size_t size)
{
    if (state_ == State::Header) {
        headerFill_ += size;
        if (headerFill_ == busFrameHeaderSize)
            finishHeader();
    } else if (state_ == State::Body) {
        bodyFill_ += size;
        if (bodyFill_ == header_.cbData)
            state_ = State::Complete;
    }
}

std::size_t BusFrameReader::feed(const char *data, std::size_t size)
{
    std::size_t taken = 0;
    while (taken < size) {
        std::size_t room = 0;
        char *area = space(room);
        if (area == nullptr)
            break;
        const std::size_t n = std::min(room, size - taken);
        std::memcpy(area, data + taken, n);
        commit(n);
        taken += n;
    }
    return taken;
}

QByteArray BusFrameReader::takeData()
{
    body_.resize(qsizetype(bodyFill_));
    bodyFill_ = 0;
    return std::exchange(body_, QByteArray());
}

void BusFrameReader::finishHeader()
{
    header_.message = getU32(headerBytes_.data());
    header_.wParam = getU32(headerBytes_.data() + 4);
    header_.dwData = getU32(headerBytes_.data() + 8);
    header_.cbData = getU32(headerBytes_.data() + 12);
    if (header_.cbData > busMaxDataSize)
        state_ = State::TooLarge;
    else
        state_ = header_.cbData == 0 ? State::Complete : State::Body;
}

} // namespace platform
