#include "windowflash.h"

namespace platform {

void TitleFlash::invert(QWidget *)
{
}

void TitleFlash::restore(QWidget *)
{
}

} // namespace platform
