#pragma once

#include "ServerOptions.h"

#include <cstdio>

// The --send-* invocations: asks the running server for the client's window by its title
// (kdbFindPeer) and then sends the message straight to that window. Gives the exit status.
int RunControlClient(const ServerOptions &options, std::FILE *out, std::FILE *err);
