// The engine's view of the program's string table (strings.inc), the same
// texts VOLKARN's resources carry.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace vk {

// The text of `id`, or an empty text for an id the table does not hold.
std::string_view LoadText(unsigned id);

// Expands "%1" .. "%99" with `inserts` in order, as the system's message
// formatter does for inserts without a printf-style format ("%!s!" forms
// are taken as text too). "%%" gives "%", "%n" a line break. False, with an
// empty result, for an insert number with no argument.
bool ExpandInserts(std::string_view text, std::initializer_list<std::string_view> inserts, std::string& out);
// The same with the inserts a notice carries.
bool ExpandInserts(std::string_view text, const std::vector<std::string>& inserts, std::string& out);

}  // namespace vk
