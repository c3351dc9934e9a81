#include "model/listing_opener.h"

namespace meridel::model {

std::unique_ptr<listing::OutputChannel> ListingOpener::open(const std::string& upperCaseName) {
    if (!upperCaseName.empty() && upperCaseName.find_first_not_of(" \t") == std::string::npos) {
        throw listing::OutputError("File Name \"" + upperCaseName +
                                   "\" holds only blanks and names no file: type a file name, "
                                   "or clear File Name to calculate without writing a file.");
    }
    return files_.open(upperCaseName);
}

}  // namespace meridel::model
