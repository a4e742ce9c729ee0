// Names given by the user (folders, files) and other bytes shown in
// diagnostics, made safe to show: one finding stays one line, and a name
// that is not UTF-8 shows its bytes instead of other characters. One
// escaping for text output and one for JSON, used by every subcommand.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace inspect {

// The length of the valid UTF-8 sequence that starts at `text[i]`, a byte
// of 0x80 or above; 0 when none starts there (a stray continuation byte,
// an overlong form, a surrogate, a sequence cut short).
std::size_t utf8_sequence_length(std::string_view text, std::size_t i);

// `bytes` for a line of text output: printable ASCII and valid UTF-8 as
// they are; a line feed, carriage return and tab as \n, \r and \t; any
// other control character (0x00 to 0x1F, 0x7F, and U+0080 to U+009F) and
// any byte that is not part of valid UTF-8 as \xNN, one per byte. A
// backslash stays as it is (a Windows path keeps its separators).
std::string printable(std::string_view bytes);

// `bytes` as a JSON string with its quotes: valid UTF-8 as it is; quote and
// backslash escaped; control characters (as above) as \u00NN; a byte that is
// not part of valid UTF-8 as the four characters \xNN (written \\xNN), as
// the text output shows it.
void append_json_string(std::string& out, std::string_view bytes);

}  // namespace inspect
