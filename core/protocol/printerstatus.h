#pragma once

#include <QList>
#include <QString>
#include <optional>

// One condition the status word reports: a name that stays the same in every language, for
// scripts, and the translated text the user reads.
struct StatusCondition {
    const char *name;
    QString text;
};

// The conditions set in the status word (bits 0 to 14), in bit order.
QList<StatusCondition> statusConditions(unsigned int status);

// The conditions the status word reports (bits 0 to 14), translated, each followed by a line
// break, in bit order; empty when none is set. Bits 15 to 31 carry nothing.
QString checkPrinterStatus(unsigned int status);

// The status word from the bytes of the status request, little endian: bytes the printer did not
// send count as zero. nullopt when it sent none.
std::optional<unsigned int> statusWordFromBytes(const unsigned char *bytes, int length);
