#pragma once
// The named values of an enumeration, read from the compiler's own spelling
// of a value given as a template argument: a value with a name is spelt by
// its name, any other as a cast of its number, "(Type)150".
#include <string_view>
#include <utility>
#include <vector>

namespace orvane::testing {

template <auto Value>
constexpr bool hasName() {
    constexpr std::string_view spelt = __PRETTY_FUNCTION__;
    constexpr auto at = spelt.rfind("= ");
    return at != std::string_view::npos && spelt[at + 2] != '(';
}

template <class Enum, int First, int... Offsets>
std::vector<int> namedValuesFrom(std::integer_sequence<int, Offsets...>) {
    std::vector<int> named;
    ((hasName<static_cast<Enum>(First + Offsets)>() ? named.push_back(First + Offsets) : void()), ...);
    return named;
}

// Every named value of Enum from First to First + Count - 1, in order.
template <class Enum, int First = 0, int Count = 512>
std::vector<int> namedValues() {
    return namedValuesFrom<Enum, First>(std::make_integer_sequence<int, Count>{});
}

}  // namespace orvane::testing
