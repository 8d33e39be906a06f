// Symbol mode and tick marks.
#pragma once

namespace tsl {

// A byte of the OEM code page (437) as the ANSI code page (1252) writes it:
// the same character, or its nearest look-alike (line drawing becomes "+",
// "-" or a broken bar) where 1252 lacks it. Bytes below 0x80 stay.
unsigned char OemToAnsi(unsigned char oem);

}  // namespace tsl
