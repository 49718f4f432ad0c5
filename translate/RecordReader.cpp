#include "RecordReader.h"

#include "ByteText.h"

TRecordReader::TRecordReader(QIODevice &stream, std::string_view delimiter)
    : m_stream(stream), m_delimiter(bytetext::lowerAscii(delimiter)), m_bufferPos(stream.pos())
{}

bool TRecordReader::ReadToDelimiter(std::string_view &text)
{
    if (m_delimiter.empty())
        return false;
    for (;;) {
        const std::size_t at = bytetext::FindFrom(m_buffer, m_delimiter, m_scan, true);
        if (at != std::string::npos) {
            const std::size_t end = at + m_delimiter.size();
            text = std::string_view(m_buffer).substr(m_start, end - m_start);
            m_start = end;
            m_scan = end;
            return true;
        }
        // A delimiter may still begin in the last few bytes, completed by the next block.
        const std::size_t tail = m_delimiter.size() - 1;
        m_scan = std::max(m_start, m_buffer.size() > tail ? m_buffer.size() - tail : 0);
        if (!readBlock())
            return false;
    }
}

bool TRecordReader::readBlock()
{
    if (m_ended)
        return false;
    dropConsumed();
    const std::size_t oldSize = m_buffer.size();
    m_buffer.resize(oldSize + BlockSize);
    const qint64 got = m_stream.read(m_buffer.data() + oldSize, BlockSize);
    const std::size_t kept = got > 0 ? static_cast<std::size_t>(got) : 0;
    m_buffer.resize(oldSize + kept);
    if (kept < static_cast<std::size_t>(BlockSize))
        m_ended = true;
    return kept > 0;
}

// Forgets the records already handed out once they make up most of the buffer, so the
// buffer stays small and the copying stays linear overall.
void TRecordReader::dropConsumed()
{
    if (m_start < 4096 || m_start * 2 < m_buffer.size())
        return;
    m_buffer.erase(0, m_start);
    m_bufferPos += static_cast<qint64>(m_start);
    m_scan -= m_start;
    m_start = 0;
}
