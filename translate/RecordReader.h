#pragma once

#include <QIODevice>
#include <string>
#include <string_view>

// Reads the records of a language file: each record runs up to and including the first
// occurrence of the delimiter behind the previous record (A to Z compared without case).
//
// The stream is read once, front to back, in blocks of 256 bytes; a short block ends it.
// Bytes read beyond a record stay buffered for the next one, which is the same as seeking
// back behind the record and reading again, minus the repeated reads. Each byte is searched
// once, so a stream without any delimiter costs linear time, not a re-scan per block.
class TRecordReader
{
public:
    static constexpr qint64 BlockSize = 256;

    // Starts at the stream's current position; the stream stays the caller's.
    TRecordReader(QIODevice &stream, std::string_view delimiter);

    // The next record with its delimiter, valid until the next call; false when no
    // delimiter is left, and then the stream has been read to its end.
    bool ReadToDelimiter(std::string_view &text);

    // The stream position of the byte behind the last record returned.
    qint64 RecordEnd() const { return m_bufferPos + static_cast<qint64>(m_start); }

private:
    bool readBlock();
    void dropConsumed();

    QIODevice &m_stream;
    std::string m_delimiter;
    std::string m_buffer;
    qint64 m_bufferPos;      // stream position of m_buffer[0]
    std::size_t m_start = 0; // start of the next record in m_buffer
    std::size_t m_scan = 0;  // no delimiter begins in [m_start, m_scan)
    bool m_ended = false;
};
