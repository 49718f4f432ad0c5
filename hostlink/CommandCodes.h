#pragma once

#include <QtGlobal>

// Command codes of host-link messages (carried in dwData and in TMentaroMessageStream::Command).
enum : quint32 {
    kdbQuit = 4096,
    kdbReply = 4097,
    kdbRegister = 4098,
    kdbUnregister = 4099,
    kdbFindPeer = 4100,
    kdbParams = 4101,
    kdbExecute = 4102,
    kdbGetFile = 4103,
    kdbMapFileName = 4104,
    kdbQueryString = 4105,
    kdbGetEnvValue = 4106,
};

// Selectors of a kdbFindPeer request.
enum : quint8 {
    kdbFindByHandle = 1,
    kdbFindByTitle = 2,
};

// The name of a command code for logs; "other" for codes outside the table.
const char *CommandName(quint32 command);
