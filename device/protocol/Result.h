#pragma once
// What a parser gives back: the value, or a sentence for a person saying what was wrong.
// The protocol layer has no Qt and raises nothing, so the control can turn each failure
// into the report it wants.

#include <optional>
#include <string>
#include <utility>

namespace protocol {

template <typename T> class Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    static Result Fail(std::string why)
    {
        Result result;
        result.m_error = std::move(why);
        return result;
    }

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T &value() const { return *m_value; }
    T &value() { return *m_value; }
    const std::string &error() const { return m_error; }

private:
    Result() = default;
    std::optional<T> m_value;
    std::string m_error;
};

} // namespace protocol
