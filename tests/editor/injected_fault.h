// A fault a fake can be told to raise: the Nth call of one of its methods throws, so that a
// test can stop a command at any step and look at what it leaves behind.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace brevorn::test {

struct InjectedFault
{
    std::string method;          // as the fake names it, e.g. "setText", "input"
    int call = 1;                // counted from 1, from when the fault is set
    std::function<void()> raise; // throws what the call is to throw
    bool everyCallAfter = false; // the later calls throw as well
};

class FaultPoint
{
public:
    void set(InjectedFault fault)
    {
        m_fault = std::move(fault);
        m_calls = 0;
    }
    void clear() { m_fault.reset(); }

    // Each faultable method of a fake calls this first.
    void enter(std::string_view method) const
    {
        if (!m_fault || m_fault->method != method)
            return;
        ++m_calls;
        if (m_calls == m_fault->call || (m_fault->everyCallAfter && m_calls > m_fault->call))
            m_fault->raise();
    }

private:
    std::optional<InjectedFault> m_fault;
    mutable int m_calls = 0; // the view's getters are const
};

} // namespace brevorn::test
