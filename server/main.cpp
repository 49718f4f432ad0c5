#include "ControlClient.h"
#include "MentaroServer.h"
#include "ServerOptions.h"
#include "SignalPipe.h"
#include "platform/Application.h"
#include "platform/MessageBus.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

namespace {

int serve(const ServerOptions &options)
{
    const QString contentPath =
        options.contentDirectory.isEmpty() ? QDir::currentPath() : options.contentDirectory;
    ServerSettings settings = options.settingsFile.isEmpty()
                                  ? ServerSettings()
                                  : ServerSettings::fromFile(options.settingsFile);
    ServerCore core(ContentDirectory(contentPath), std::move(settings), &platform::isWindow,
                    &StartDetached);
    TMentaroServer server(options.suffix, std::move(core), stdout);
    SignalPipe signalPipe;
    QObject::connect(&signalPipe, &SignalPipe::received, &server, [&server](int signalNumber) {
        platform::runGuarded([&] {
            std::fprintf(stdout, "signal %d: shutting down\n", signalNumber);
            std::fflush(stdout);
            server.Shutdown();
            QCoreApplication::quit();
        });
    });
    std::fprintf(stdout, "mentaro-server: window %08x, suffix %s, content %s, bus %s\n",
                 server.handle(), options.suffix.c_str(),
                 server.core().content().path().toLocal8Bit().constData(),
                 platform::busDirectory().toLocal8Bit().constData());
    std::fflush(stdout);
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    try {
        const ServerOptions options = ServerOptions::parse(QCoreApplication::arguments());
        switch (options.mode) {
        case ServerOptions::Mode::Help:
            std::fputs(ServerUsage, stdout);
            return 0;
        case ServerOptions::Mode::Serve:
            return serve(options);
        default:
            return RunControlClient(options, stdout, stderr);
        }
    } catch (const std::exception &error) {
        std::fprintf(stderr, "mentaro-server: %s\n", error.what());
        return 1;
    }
}
