#pragma once

#include "platform/Exception.h"

// The component suite's errors; they begin with "Component " and the component's quoted name.
class EVantixError : public platform::Exception
{
public:
    using platform::Exception::Exception;
};

class EVantixURLLabError : public EVantixError
{
public:
    using EVantixError::EVantixError;
};
