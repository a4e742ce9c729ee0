// Text for the report page: bytes from the model files made safe for HTML
// and for the page's JSON data, and numbers written as people read them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace report {

// `text` as HTML character data or an attribute value. The files' text is
// bytes: valid UTF-8 stays, any other byte and any control character other
// than a tab becomes U+FFFD, so the page is always valid UTF-8.
void append_html(std::string& out, std::string_view text);
std::string html(std::string_view text);

// `text` as a JSON string with its quotes, safe inside a <script> element
// (no "<", ">" or "&" appear literally).
void append_json_string(std::string& out, std::string_view text);

// The shortest decimal form that reads back as the same 32-bit real:
// 0.05, 1000, 95.5, 1e-05, -3.4028235e+38.
std::string number_text(float value);
// A double to `significant` digits without trailing zeros: 12.35, 0.0012.
std::string number_text(double value, int significant);
// 1234567 as "1 234 567" (thin groups for long counts).
std::string count_text(std::int64_t count);

}  // namespace report
