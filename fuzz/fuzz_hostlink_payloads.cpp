// Decodes host-link payloads of every kind the client reads: counted strings, entity records,
// data blocks, the replies of each request and every command that HandleMessage dispatches.
#include "hostlink/CommandCodes.h"
#include "hostlink/KdbDemonClient.h"
#include "hostlink/MentaroMessageStream.h"
#include "hostlink/ParamsText.h"
#include "platform/Exception.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {

TkdbDemonClient *client = nullptr;

void readReplies(TMentaroMessageStream &message, quint8 kind)
{
    switch (kind % 6) {
    case 0: { // FindPeerByTitle / FindPeerByHandle and kdbRegister
        TEntity entity;
        entity.ReadFrom(message);
        break;
    }
    case 1: // Execute
        message.ReadInt32();
        break;
    case 2: // GetFileStream
        if (message.ReadByte() != 0)
            message.RemainingContent();
        break;
    case 3: // MapFileName, QueryServerString, GetEnvValue
        message.ReadString();
        break;
    case 4:
        while (message.Position() < message.Size())
            message.ReadString();
        break;
    default:
        ParamsFromText(message.RemainingContent().toStdString());
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QTemporaryDir bus;
    qputenv("TORVANE_BUS_DIR", QDir(bus.path()).filePath("bus").toLocal8Bit());
    qputenv("TORVANE_REGISTRY", "/nonexistent");
    new QCoreApplication(*argc, *argv);
    client = new TkdbDemonClient(nullptr);
    // Nothing may end the component here: there is no event loop to destroy it in.
    client->OnQuitMsgReceived = [](TkdbCustomDemon *, bool, bool &allowQuit) { allowQuit = false; };
    client->OnGotAMessage = [](TkdbCustomDemon *, TMentaroMessageStream &message) {
        while (message.Position() < message.Size())
            message.ReadString();
    };
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const quint8 kind = data[0];
    const quint8 selector = data[1];
    const QByteArray block(reinterpret_cast<const char *>(data + 2),
                           static_cast<qsizetype>(size - 2));
    try {
        std::unique_ptr<TMentaroMessageStream> message =
            TMentaroMessageStream::FromDataBlock(client, 0x1234, kdbQuit + selector % 12, block);
        // Filed replies would pile up across inputs; filing one is a plain append.
        if ((kind & 0x80) && message->Command != kdbReply) {
            client->HandleMessage(message);
        } else {
            readReplies(*message, kind);
        }
    } catch (const platform::Exception &) {
    }
    return 0;
}
