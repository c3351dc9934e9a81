#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "numbers/error.h"

namespace meridel::listing {

// A failure to open, write or close the output target; the message names the target and the
// system's reason.
class OutputError : public Error {
public:
    using Error::Error;
};

// The sequential text target of one run (a listing file, the null device, standard output).
class OutputChannel {
public:
    virtual ~OutputChannel() = default;
    // Writes the text followed by CR LF. Texts are UTF-8; the channel decides the bytes.
    virtual void writeLine(std::string_view text) = 0;
    virtual void close() = 0;
};

// Opens the target of a run: the upper-cased file name, or the null device when it is empty.
// Throws OutputError when the target cannot be opened for writing.
class OutputOpener {
public:
    virtual ~OutputOpener() = default;
    virtual std::unique_ptr<OutputChannel> open(const std::string& upperCaseName) = 0;
};

}  // namespace meridel::listing
