#include "StreamRead.h"

#include "Exception.h"

namespace platform {

void readExact(QIODevice &stream, void *buffer, qint64 size)
{
    if (size <= 0)
        return;
    if (stream.read(static_cast<char *>(buffer), size) != size)
        throw EReadError();
}

} // namespace platform
