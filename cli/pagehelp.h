#pragma once

#include <QString>

namespace pages {
struct KeyDescription;
}

// The settings pages as the command line explains them, from the pages' own tables: the keys
// and values --help lists are the ones the pages check writes against.
namespace cli {

// What a key takes, in one line ("0, 1, 2, 3", "0 到 8191 的整数（mm）", ...).
QString acceptedValues(const pages::KeyDescription &key);

// Every page and its keys with what each takes. A page, key or value that only some models
// offer says so.
QString pagesHelp();

} // namespace cli
