#pragma once

#include <QString>
#include <optional>

// The conditions the status word reports (bits 0 to 14), translated, each followed by a line
// break, in bit order; empty when none is set. Bits 15 to 31 carry nothing.
QString checkPrinterStatus(unsigned int status);

// The status word from the four bytes of the status request, little endian; nullopt when the
// printer sent fewer than four (a reply cut short is a failed read).
std::optional<unsigned int> statusWordFromBytes(const unsigned char *bytes, int length);
