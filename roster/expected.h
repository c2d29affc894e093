// The library's one way to report failure: a value, or the RosterError that explains why
// there is none. Expected<void> is success or that error.
#pragma once

#include "roster_error.h"

#include <utility>
#include <variant>

namespace brevorn {

template <class T>
class [[nodiscard]] Expected
{
public:
    Expected(T value)
        : m_state(std::move(value))
    {
    }
    Expected(RosterError error)
        : m_state(std::move(error))
    {
    }

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return std::get<T>(m_state); }
    T& value() & { return std::get<T>(m_state); }
    T&& value() && { return std::get<T>(std::move(m_state)); }
    const RosterError& error() const { return std::get<RosterError>(m_state); }
    RosterError& error() { return std::get<RosterError>(m_state); }

private:
    std::variant<T, RosterError> m_state;
};

template <>
class [[nodiscard]] Expected<void>
{
public:
    Expected() = default;
    Expected(RosterError error)
        : m_error(std::move(error))
        , m_failed(true)
    {
    }

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }

    const RosterError& error() const { return m_error; }
    RosterError& error() { return m_error; }

private:
    RosterError m_error;
    bool m_failed = false;
};

} // namespace brevorn
