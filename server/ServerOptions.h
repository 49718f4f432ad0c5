#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

// The command line of mentaro-server.
struct ServerOptions
{
    enum class Mode { Serve, SendParams, SendQuit, SendCommand, Help };

    Mode mode = Mode::Serve;
    std::string suffix = "00000000";
    QString contentDirectory; // empty: the current directory
    QString settingsFile;     // empty: none

    std::string title;               // the client to send to
    std::vector<std::string> params; // --send-params
    bool serverDown = false;         // --send-quit --server-down
    quint32 command = 0;             // --send-command
    std::string payload;             // --send-command

    // Throws platform::Exception with a message that says what is wrong.
    static ServerOptions parse(const QStringList &arguments);
};

// The text that --help prints.
extern const char *const ServerUsage;
