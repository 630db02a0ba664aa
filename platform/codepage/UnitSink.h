#pragma once
// Where a converter puts its output: it counts every unit and stores those that fit,
// so one pass serves both the length query and the conversion itself.

#include <cstddef>

namespace codepage {

template <typename Unit>
class UnitSink {
public:
    // A null output only counts.
    UnitSink(Unit* output, std::size_t capacity) : m_output(output), m_capacity(output ? capacity : 0) {}

    void Put(Unit unit)
    {
        if (m_count < m_capacity)
            m_output[m_count] = unit;
        ++m_count;
    }

    void Put(const Unit* units, std::size_t n)
    {
        for (std::size_t i = 0; i < n; ++i)
            Put(units[i]);
    }

    // A character the target cannot hold, or input that is not well formed.
    void NoteReplacement() { m_replaced = true; }

    std::size_t Count() const { return m_count; }
    bool Replaced() const { return m_replaced; }

private:
    Unit* m_output;
    std::size_t m_capacity;
    std::size_t m_count = 0;
    bool m_replaced = false;
};

}  // namespace codepage
