#include "platform/cp932.h"

void platform::xml::registerCp932Decoder() { }
