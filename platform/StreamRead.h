#pragma once

#include <QIODevice>

namespace platform {

// Streams are QIODevices (a QBuffer is the in-memory stream, a QFile the file stream).
// Reads exactly `size` bytes or throws EReadError, leaving nothing half-read unreported.
void readExact(QIODevice &stream, void *buffer, qint64 size);

} // namespace platform
