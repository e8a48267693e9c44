#pragma once

#include "core/profiles/apply.h"

#include <QString>

struct ListedPrinter;
class ModelKey;

namespace profile {
struct Parsed;
}

// What restore, restore --all and provision share: the profile read and checked before anything
// is sent, the options of the apply, and how a printer's result is shown.
namespace cli {

struct Context;

// A profile file, read and checked as a whole.
int readProfile(Context &c, const QString &path, profile::Parsed &parsed);
// Every page of the file checked for this model before anything is sent.
int checkProfileFor(Context &c, const profile::Parsed &parsed, const ModelKey &modelKey);
// What restore and provision ask of the apply (every page once the printer differs, verified
// unless told not to; a check or a dry run sends nothing).
profile::ApplyOptions applyOptions(const Context &c);
// A printer's result in words as it comes (nothing with --json: the document comes at the end).
void showResult(Context &c, const profile::PrinterResult &result,
                const profile::ApplyOptions &options, bool many);

// restore --all and provision: fleetcommands.cpp.
int restoreAll(Context &c, const profile::Parsed &parsed);

} // namespace cli
