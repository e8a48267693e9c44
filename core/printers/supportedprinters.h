#pragma once

// The printers the tool works with and what each model offers. The printer list matches devices
// against this table, the build generates the udev rule that gives the user at the seat access
// to exactly these devices from it, and the window and the command line offer a model's pages,
// maintenance and font download by it, so none of them can disagree. Plain C++ without Qt, so
// that the rule generator can use it.

#include <cstdint>
#include <initializer_list>

namespace supportedprinters {

constexpr std::uint16_t kVendorId = 0x5C1E;

// What a model offers, in the window and on the command line alike. The firmware download is
// offered for every model.
struct Offer {
    bool settingsPages; // the settings tab: the settings pages, read and written
    bool maintenance;   // the functional tab: the maintenance buttons and the status request
    bool fontDownload;
    bool ethernet;    // the Ethernet page
    bool printMethod; // the print page's print-method selector
    int printSpeeds;  // the print page offers the speeds 0 to printSpeeds - 1

    constexpr bool operator==(const Offer &o) const
    {
        return settingsPages == o.settingsPages && maintenance == o.maintenance &&
               fontDownload == o.fontDownload && ethernet == o.ethernet &&
               printMethod == o.printMethod && printSpeeds == o.printSpeeds;
    }
    constexpr bool operator!=(const Offer &o) const { return !(*this == o); }
};

// A model whose settings are locked: neither tab of settings nor the font download.
constexpr Offer kLocked = {false, false, false, false, false, 4};
// A model the table does not name.
constexpr Offer kBasic = {true, true, true, false, false, 4};
// A model with an Ethernet port, a print-method selector and eight print speeds.
constexpr Offer kExtended = {true, true, true, true, true, 8};

// A model by the product string its printers report.
struct Model {
    const char *product;
    Offer offer;
};

struct Brand {
    const char *brand;
    std::initializer_list<std::uint16_t> productIds;
    // The models of the brand that offer other than kBasic.
    std::initializer_list<Model> models;
};

// A product ID stands under one brand only; the order is the order rows are tried in. A model is
// its brand and its product string: a printer's product ID does not tell its model.
inline const Brand kBrands[] = {
    {"Vantrell",
     {0x0402, 0x0403, 0x0401},
     {{"RM-320", kLocked}, {"RM-310", kLocked}, {"RW-604K", kExtended}}},
    {"Zurod",
     {0x0411, 0x0412, 0x0413},
     {{"RM-310", kLocked}, {"RM-320", kLocked}, {"RW-604K", kExtended}}},
    {"Orbeck",
     {0x1401, 0x1420, 0x0604, 0x0605, 0x0606},
     {{"VS-608K", kExtended}, {"OB-K900", kExtended}}},
    {"DVN",
     {0x0502, 0x0630, 0x0631, 0x0503},
     {{"DN816QX PRO", kExtended}, {"DN810QX PRO", kExtended}}},
    {"H&J", {0x0601, 0x0602, 0x0603}, {{"HJ-WK650", kExtended}}},
};

// The brand a product ID of kVendorId stands under; null for an ID of no brand.
inline const Brand *brandOf(std::uint16_t productId)
{
    for (const Brand &brand : kBrands) {
        for (std::uint16_t id : brand.productIds) {
            if (id == productId)
                return &brand;
        }
    }
    return nullptr;
}

} // namespace supportedprinters
