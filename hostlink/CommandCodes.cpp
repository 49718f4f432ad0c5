#include "CommandCodes.h"

const char *CommandName(quint32 command)
{
    switch (command) {
    case kdbQuit:
        return "kdbQuit";
    case kdbReply:
        return "kdbReply";
    case kdbRegister:
        return "kdbRegister";
    case kdbUnregister:
        return "kdbUnregister";
    case kdbFindPeer:
        return "kdbFindPeer";
    case kdbParams:
        return "kdbParams";
    case kdbExecute:
        return "kdbExecute";
    case kdbGetFile:
        return "kdbGetFile";
    case kdbMapFileName:
        return "kdbMapFileName";
    case kdbQueryString:
        return "kdbQueryString";
    case kdbGetEnvValue:
        return "kdbGetEnvValue";
    default:
        return "other";
    }
}
