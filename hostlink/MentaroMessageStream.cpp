#include "MentaroMessageStream.h"

#include "EMentaro.h"
#include "KdbCustomDemon.h"

#include <QtEndian>
#include <cstring>
#include <limits>

TMentaroMessageStream::TMentaroMessageStream(TkdbCustomDemon *owner) : Sender(owner), Owner(owner)
{}

void TMentaroMessageStream::Seek(qint64 position)
{
    m_position = qBound<qint64>(0, position, m_content.size());
}

void TMentaroMessageStream::Write(const void *data, qint64 size)
{
    if (size <= 0)
        return;
    const qint64 end = m_position + size;
    if (end > m_content.size())
        m_content.resize(end);
    std::memcpy(m_content.data() + m_position, data, static_cast<size_t>(size));
    m_position = end;
}

void TMentaroMessageStream::Read(void *data, qint64 size)
{
    if (size <= 0)
        return;
    if (size > m_content.size() - m_position)
        throw platform::EReadError();
    std::memcpy(data, m_content.constData() + m_position, static_cast<size_t>(size));
    m_position += size;
}

void TMentaroMessageStream::WriteByte(quint8 value)
{
    Write(&value, 1);
}

quint8 TMentaroMessageStream::ReadByte()
{
    quint8 value = 0;
    Read(&value, 1);
    return value;
}

void TMentaroMessageStream::WriteInt32(qint32 value)
{
    WriteUInt32(static_cast<quint32>(value));
}

qint32 TMentaroMessageStream::ReadInt32()
{
    return static_cast<qint32>(ReadUInt32());
}

void TMentaroMessageStream::WriteUInt32(quint32 value)
{
    uchar bytes[4];
    qToLittleEndian(value, bytes);
    Write(bytes, 4);
}

quint32 TMentaroMessageStream::ReadUInt32()
{
    uchar bytes[4];
    Read(bytes, 4);
    return qFromLittleEndian<quint32>(bytes);
}

void TMentaroMessageStream::WriteString(const std::string &s)
{
    if (s.size() > static_cast<size_t>(std::numeric_limits<qint32>::max()))
        throw platform::EIntOverflow();
    WriteInt32(static_cast<qint32>(s.size()));
    Write(s.data(), static_cast<qint64>(s.size()));
}

std::string TMentaroMessageStream::ReadString()
{
    const qint32 length = ReadInt32();
    if (length <= 0)
        return {};
    // Checked before allocating, so a hostile count cannot make us reserve gigabytes.
    if (length > m_content.size() - m_position)
        throw platform::EReadError();
    std::string s(static_cast<size_t>(length), '\0');
    Read(s.data(), length);
    return s;
}

void TMentaroMessageStream::SendTo(TEntity &target, TMentaroMessageStream *reply)
{
    if (Owner == nullptr)
        throw EMentaro("Message has no owner to send it");
    Owner->SendMsg(target, *this, reply);
}

void TMentaroMessageStream::CopyFromMessage(const TMentaroMessageStream &other)
{
    Time = other.Time;
    Date = other.Date;
    Command = other.Command;
    Sender.Assign(&other.Sender);
    m_content = other.m_content;
    m_position = 0;
}

QByteArray TMentaroMessageStream::ToDataBlock() const
{
    if (m_content.size() > std::numeric_limits<qint32>::max() - 8)
        throw platform::EIntOverflow();
    QByteArray block(8, '\0');
    qToLittleEndian(Time, block.data());
    qToLittleEndian(Date, block.data() + 4);
    block.append(m_content);
    return block;
}

std::unique_ptr<TMentaroMessageStream> TMentaroMessageStream::FromDataBlock(TkdbCustomDemon *owner,
                                                                            quint32 wParam,
                                                                            quint32 dwData,
                                                                            const QByteArray &block)
{
    if (block.size() < 8)
        throw platform::EIntOverflow();
    auto message = std::make_unique<TMentaroMessageStream>(owner);
    message->Command = dwData;
    message->Time = qFromLittleEndian<qint32>(block.constData());
    message->Date = qFromLittleEndian<qint32>(block.constData() + 4);
    message->m_content = block.mid(8);
    message->Sender.Handle = wParam;
    return message;
}
