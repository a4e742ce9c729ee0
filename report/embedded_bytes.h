// Bytes carried inside the page: compressed with zlib and written as
// base64 text, which the page's script inflates again with the browser's
// own DecompressionStream("deflate").
#pragma once

#include <string>
#include <string_view>

namespace report {

std::string base64(std::string_view bytes);

// The zlib stream (RFC 1950) of `bytes`.
std::string deflated(std::string_view bytes);

}  // namespace report
