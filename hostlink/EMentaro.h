#pragma once

#include "platform/Exception.h"

// Every error that the host link raises itself.
class EMentaro : public platform::Exception
{
public:
    using platform::Exception::Exception;
};
