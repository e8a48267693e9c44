#pragma once

#include "core/printers/modelkey.h"
#include "core/printers/supportedprinters.h"

// What a printer model offers, from the table of supported printers: the window's enabled tabs,
// pages and buttons and the command line's pages and commands follow it.
namespace modelgate {

// The model's row of the table; kBasic for a model the table does not name (the key must equal
// a row's brand and product exactly, letter case included).
supportedprinters::Offer offerOf(const ModelKey &key);

} // namespace modelgate
