#pragma once
// The program's exception: a failed system call during start-up, raised by
// value. Nothing handles it; the application turns it into an exit status.

class zvk_co_Exception
{
public:
    static constexpr int SystemCallFailed = 2;

    zvk_co_Exception(int errorCode, int errorCategory) noexcept : code(errorCode), category(errorCategory) {}
    zvk_co_Exception(const zvk_co_Exception&) = default;
    zvk_co_Exception& operator=(const zvk_co_Exception&) = default;
    virtual ~zvk_co_Exception() = default;

    int code;
    int category;
};

// The type actually raised.
class zvk_co_InternalException : public zvk_co_Exception
{
public:
    using zvk_co_Exception::zvk_co_Exception;
};
