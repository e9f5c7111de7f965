#pragma once
// The general exception of the whole system and its silent-abort descendant.
// The GUI's default handler shows an Exception's message in an error box and goes on;
// an EAbort is swallowed without a box.

#include <stdexcept>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : fMessage(std::move(message)) {}
    const char *what() const noexcept override { return fMessage.c_str(); }
    const std::string &Message() const noexcept { return fMessage; }

private:
    std::string fMessage;
};

class EAbort : public Exception {
public:
    using Exception::Exception;
};
