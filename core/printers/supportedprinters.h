#pragma once

// The printers the tool works with. The printer list matches devices against this table, and the
// build generates the udev rule that gives the user at the seat access to exactly these devices
// from it, so the two cannot disagree. Plain C++ without Qt, so that the rule generator can use it.

#include <cstdint>
#include <initializer_list>

namespace supportedprinters {

constexpr std::uint16_t kVendorId = 0x5C1E;

struct Brand {
    const char *brand;
    std::initializer_list<std::uint16_t> productIds;
};

// A product ID stands under one brand only; the order is the order rows are tried in.
inline const Brand kBrands[] = {
    {"Vantrell", {0x0402, 0x0403, 0x0401}},
    {"Zurod", {0x0411, 0x0412, 0x0413}},
    {"Orbeck", {0x1401, 0x1420, 0x0604, 0x0605, 0x0606}},
    {"DVN", {0x0502, 0x0630, 0x0631, 0x0503}},
    {"H&J", {0x0601, 0x0602, 0x0603}},
};

} // namespace supportedprinters
