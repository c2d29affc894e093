// A value or the RosterError that explains why there is none.
#pragma once

#include "roster_error.h"

#include <utility>
#include <variant>

namespace brevorn {

template <class T>
class Expected
{
public:
    Expected(T value) : m_state(std::move(value)) {}
    Expected(RosterError error) : m_state(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return std::get<T>(m_state); }
    T& value() & { return std::get<T>(m_state); }
    T&& value() && { return std::get<T>(std::move(m_state)); }
    const RosterError& error() const { return std::get<RosterError>(m_state); }

private:
    std::variant<T, RosterError> m_state;
};

} // namespace brevorn
