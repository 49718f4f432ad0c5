#pragma once

#include "Entity.h"

#include <QByteArray>
#include <memory>
#include <string>

class TkdbCustomDemon;

// One host-link message: a payload with a read/write position, its stamp, its sender and its
// command code.
class TMentaroMessageStream
{
public:
    explicit TMentaroMessageStream(TkdbCustomDemon *owner = nullptr);

    qint32 Time = 0;
    qint32 Date = 0;
    TEntity Sender;                   // owned; on a received message only its Handle is set
    TkdbCustomDemon *Owner = nullptr; // not owned
    quint32 Command = 0;

    // The payload as a stream.
    qint64 Size() const { return m_content.size(); }
    qint64 Position() const { return m_position; }
    void Seek(qint64 position);
    const QByteArray &Content() const { return m_content; }
    QByteArray RemainingContent() const { return m_content.mid(m_position); }

    void Write(const void *data, qint64 size);
    // Reads exactly `size` bytes or throws "Stream read error" without moving the position.
    void Read(void *data, qint64 size);

    void WriteByte(quint8 value);
    quint8 ReadByte();
    void WriteInt32(qint32 value);
    qint32 ReadInt32();
    void WriteUInt32(quint32 value);
    quint32 ReadUInt32();

    // Counted strings: an int32 byte count, then the bytes.
    void WriteString(const std::string &s);
    std::string ReadString();

    void SendTo(TEntity &target, TMentaroMessageStream *reply);
    void CopyFromMessage(const TMentaroMessageStream &other);

    // The data block that travels as cbData/lpData: Time, Date, the whole payload.
    QByteArray ToDataBlock() const;
    // The receiving side; a block below 8 bytes raises "Integer overflow" before anything
    // is read from it.
    static std::unique_ptr<TMentaroMessageStream>
    FromDataBlock(TkdbCustomDemon *owner, quint32 wParam, quint32 dwData, const QByteArray &block);

private:
    QByteArray m_content;
    qint64 m_position = 0;
};
