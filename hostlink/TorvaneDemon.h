#pragma once

// The host link in one include: the message format, the peer record and the components.
#include "CommandCodes.h"
#include "EMentaro.h"
#include "Entity.h"
#include "KdbCustomDemon.h"
#include "KdbDemonClient.h"
#include "MentaroMessageStream.h"
