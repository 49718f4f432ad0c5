// Decodes every request the substitute server reads, with a content directory to serve from
// and a launcher that never starts anything.
#include "hostlink/MentaroMessageStream.h"
#include "platform/Exception.h"
#include "server/ServerCore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

namespace {

QTemporaryDir *root = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    new QCoreApplication(*argc, *argv);
    root = new QTemporaryDir;
    QDir(root->path()).mkpath("content/sub");
    QFile file(root->filePath("content/a.txt"));
    file.open(QIODevice::WriteOnly);
    file.write("abc");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    ServerCore core(
        ContentDirectory(root->filePath("content")),
        ServerSettings::fromText("Color=red\n[strings]\nping=pong\n"),
        [](quint32 handle) { return handle % 3 != 0; },
        [](const QString &, const QStringList &, const QString &) { return qint64(0); });
    TMentaroMessageStream request;
    request.Write(data + 1, static_cast<qint64>(size - 1));
    // Several requests in one input, so that registrations meet later look-ups.
    const quint32 first = 4096 + data[0] % 12;
    for (quint32 command = first; command < first + 3; ++command) {
        request.Seek(0);
        try {
            core.handle(4096 + (command - 4096) % 12, 7, request);
        } catch (const platform::Exception &) {
        }
    }
    return 0;
}
