#pragma once

namespace platform::xml {

// Gives libxml2 a CP932 decoder where it has none: on Windows, on its own
// code page 932 (the library comes without iconv there, and knows no Japanese
// encoding by itself); elsewhere iconv has one, and this does nothing.
void registerCp932Decoder();

} // namespace platform::xml
