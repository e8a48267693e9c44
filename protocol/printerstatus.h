#pragma once

#include <QString>

// The conditions the status word reports (bits 0 to 14), translated, each followed by a line
// break, in bit order; empty when none is set. Bits 15 to 31 carry nothing.
QString checkPrinterStatus(unsigned int status);

// The status word from the four bytes of the status request, little endian; bytes the printer
// did not send count as zero.
unsigned int statusWordFromBytes(const unsigned char *bytes, int length);
