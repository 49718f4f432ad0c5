#pragma once

#include <stdexcept>
#include <string>

namespace platform {

// The base of every error this program raises itself: a message text and nothing else.
class Exception : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A read that a stream cannot satisfy in full.
class EReadError : public Exception
{
public:
    EReadError() : Exception("Stream read error") {}
};

// A count that does not fit where it has to go.
class EIntOverflow : public Exception
{
public:
    EIntOverflow() : Exception("Integer overflow") {}
};

class EMathError : public Exception
{
public:
    using Exception::Exception;
};

} // namespace platform
