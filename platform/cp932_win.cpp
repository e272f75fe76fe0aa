#include "platform/cp932.h"

#include <libxml/encoding.h>

#include <iterator>

#include <windows.h>

namespace platform::xml {

namespace {

constexpr UINT Cp932 = 932;
// A character of one or two bytes becomes at most three bytes of UTF-8.
constexpr int MaxUtf8PerCharacter = 3;

// libxml2's input function: decodes as much of in as fits into out, and says
// how much of each it used. A lead byte whose second byte is still to come
// is left for the next call; bytes that are not CP932 are an error (-2).
int decodeCp932(unsigned char *out, int *outLength, const unsigned char *in, int *inLength)
{
    int consumed = 0;
    int characters = 0;
    while (consumed < *inLength && (characters + 1) * MaxUtf8PerCharacter <= *outLength) {
        const int width = ::IsDBCSLeadByteEx(Cp932, in[consumed]) ? 2 : 1;
        if (consumed + width > *inLength)
            break;
        consumed += width;
        ++characters;
    }
    if (consumed == 0) {
        *inLength = 0;
        *outLength = 0;
        return 0;
    }
    // Two UTF-16 units at most per character (none of CP932 needs a pair).
    wchar_t wide[4096];
    int done = 0;
    int written = 0;
    while (done < consumed) {
        // Pieces that end on a character boundary and fit the buffer.
        int piece = 0;
        while (done + piece < consumed && piece < int(std::size(wide)) - 2) {
            piece += ::IsDBCSLeadByteEx(Cp932, in[done + piece]) ? 2 : 1;
        }
        const int units = ::MultiByteToWideChar(
            Cp932, MB_ERR_INVALID_CHARS, reinterpret_cast<const char *>(in + done), piece, wide, int(std::size(wide)));
        if (units <= 0)
            return -2;
        const int bytes = ::WideCharToMultiByte(
            CP_UTF8, 0, wide, units, reinterpret_cast<char *>(out + written), *outLength - written, nullptr, nullptr);
        if (bytes <= 0)
            return -2;
        done += piece;
        written += bytes;
    }
    *inLength = consumed;
    *outLength = written;
    return written;
}

} // namespace

void registerCp932Decoder()
{
    if (xmlCharEncodingHandlerPtr known = xmlFindCharEncodingHandler("CP932")) {
        xmlCharEncCloseFunc(known);
        return;
    }
    // Registered for the rest of the run, as libxml2 keeps it.
    xmlNewCharEncodingHandler("CP932", decodeCp932, nullptr);
}

} // namespace platform::xml
