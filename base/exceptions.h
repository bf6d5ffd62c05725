#pragma once

#include <exception>
#include <string>

// Base of the four exceptions with which the program reports broken contracts.
// Each carries a fixed English message.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& getMessage() const { return message_; }

private:
    std::string message_;
};

class InstantiationException : public Exception {
public:
    using Exception::Exception;
};

class IllegalStateException : public Exception {
public:
    using Exception::Exception;
};

class IllegalArgumentException : public Exception {
public:
    using Exception::Exception;
};

class NotFoundException : public Exception {
public:
    using Exception::Exception;
};
