#pragma once

#include <memory>
#include <string>

#include "listing/output_targets.h"

namespace meridel::model {

// The desktop program's listing targets. A File Name made only of blanks is kept as typed (the
// button still offers to write a file), but names no file a user could find or open again:
// such a run ends at the open, as on a file system that refuses blank names, and the message
// says what to type.
class ListingOpener : public listing::OutputOpener {
public:
    std::unique_ptr<listing::OutputChannel> open(const std::string& upperCaseName) override;

private:
    listing::FileOpener files_;
};

}  // namespace meridel::model
