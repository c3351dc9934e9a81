// The one base of the errors that the library folders throw for input they cannot take. A front
// end that catches it (and reports what()) never ends in abort, whatever the input.
#pragma once

#include <stdexcept>

namespace meridel {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace meridel
