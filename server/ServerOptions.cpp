#include "ServerOptions.h"

#include "platform/Cp1252.h"
#include "platform/Exception.h"

const char *const ServerUsage =
    "Usage:\n"
    "  mentaro-server [--suffix XXXXXXXX] [--content DIR] [--settings FILE]\n"
    "      Serves the host link on the bus directory ($TORVANE_BUS_DIR): files from DIR\n"
    "      (default: the current directory), settings and strings from FILE.\n"
    "  mentaro-server [--suffix S] --send-params TITLE [ENTRY...]\n"
    "      Gives the client titled TITLE a new parameter list (entry 0 is a program path).\n"
    "  mentaro-server [--suffix S] --send-quit TITLE [--server-down]\n"
    "      Asks the client titled TITLE to end.\n"
    "  TITLE may also be pid:N, the client window of process N, for a program that never\n"
    "  registered (one started on its own).\n"
    "  mentaro-server [--suffix S] --send-command TITLE CODE [PAYLOAD]\n"
    "      Sends the client titled TITLE any command code with PAYLOAD's bytes.\n"
    "Settings file: name=value lines; lines after [strings] answer string queries.\n";

namespace {

class ArgumentReader
{
public:
    explicit ArgumentReader(const QStringList &arguments) : m_arguments(arguments) {}
    bool atEnd() const { return m_next >= m_arguments.size(); }
    QString next() { return m_arguments.at(m_next++); }
    QString value(const QString &option)
    {
        if (atEnd())
            throw platform::Exception(option.toStdString() + " needs a value");
        return next();
    }

private:
    const QStringList &m_arguments;
    qsizetype m_next = 1;
};

quint32 parseCommand(const QString &text)
{
    bool ok = false;
    const uint value = text.toUInt(&ok, 0);
    if (!ok)
        throw platform::Exception("Not a command code: " + text.toStdString());
    return value;
}

} // namespace

ServerOptions ServerOptions::parse(const QStringList &arguments)
{
    ServerOptions options;
    ArgumentReader reader(arguments);
    while (!reader.atEnd()) {
        const QString argument = reader.next();
        if (argument == u"--help" || argument == u"-h") {
            options.mode = Mode::Help;
        } else if (argument == u"--suffix") {
            options.suffix = platform::toCp1252(reader.value(argument));
        } else if (argument == u"--content") {
            options.contentDirectory = reader.value(argument);
        } else if (argument == u"--settings") {
            options.settingsFile = reader.value(argument);
        } else if (argument == u"--server-down") {
            options.serverDown = true;
        } else if (argument == u"--send-params") {
            options.mode = Mode::SendParams;
            options.title = platform::toCp1252(reader.value(argument));
            while (!reader.atEnd())
                options.params.push_back(platform::toCp1252(reader.next()));
        } else if (argument == u"--send-quit") {
            options.mode = Mode::SendQuit;
            options.title = platform::toCp1252(reader.value(argument));
        } else if (argument == u"--send-command") {
            options.mode = Mode::SendCommand;
            options.title = platform::toCp1252(reader.value(argument));
            options.command = parseCommand(reader.value(argument));
            if (!reader.atEnd())
                options.payload = platform::toCp1252(reader.next());
        } else {
            throw platform::Exception("Unknown argument: " + argument.toStdString());
        }
    }
    return options;
}
