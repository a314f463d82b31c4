#pragma once
// The text of the help dialog.

#include <string>

namespace kestrel {

// Forty lines, each ended by "\r\n", as Shift-JIS bytes: an empty line, then
// eleven paragraphs separated by empty lines. A paragraph starts with "・";
// its further lines are indented by one ideographic space, numbered
// sub-items (①②③) by two and their further lines by three.
const std::string& helpText();

} // namespace kestrel
