#include "cli/cli_opener.h"

namespace meridel::cli {

std::unique_ptr<listing::OutputChannel> CliOpener::open(const std::string& upperCaseName) {
    std::unique_ptr<listing::OutputChannel> channel;
    if (batch_ && (!upperCaseName.empty() || (listingOut_ && !record_))) {
        // Held back until every output of the invocation is known to be good.
        if (!upperCaseName.empty()) {
            listingPath_ = listing::resolveListingPath(upperCaseName);
            batch_->add(*listingPath_, "--file");
        }
        opened_ = true;
        return std::make_unique<listing::RecordingChannel>(received_);
    }
    if (!upperCaseName.empty()) {
        channel = listing::openFileChannel(listing::resolveListingPath(upperCaseName));
    } else if (record_ || !listingOut_) {
        channel = listing::openNullDevice();
    } else {
        channel = std::make_unique<listing::StreamChannel>(out_, "standard output", false);
    }
    opened_ = true;
    if (!record_) return channel;
    return std::make_unique<listing::RecordingChannel>(received_, std::move(channel));
}

}  // namespace meridel::cli
