#pragma once

namespace platform::xml {

// Gives libxml2 a CP932 decoder on Windows' own code page 932: the library
// comes without iconv there, and knows no Japanese encoding by itself.
void registerCp932Decoder();

} // namespace platform::xml
