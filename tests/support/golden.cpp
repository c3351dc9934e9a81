#include "support/golden.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "support/fixtures.h"

namespace meridel::testing {
namespace fs = std::filesystem;

std::string visibleBytes(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            out += '\n';
            ++i;
        } else if (c == '\r' || c == '\n') {
            out += c == '\r' ? "<CR>\n" : "<LF>\n";
        } else if (c < 0x20 || c > 0x7E || c == '<') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "<%02X>", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

void expectGolden(const fs::path& golden, const std::string& actual) {
    const char* update = std::getenv("MERIDEL_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::ofstream(golden, std::ios::binary) << actual;
        return;
    }
    EXPECT_EQ(readBytes(golden.string()), actual)
        << "golden file " << golden << " (MERIDEL_UPDATE_GOLDEN=1 rewrites it)";
}

std::vector<fs::path> filesWithExtension(const fs::path& folder, std::string_view extension) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == extension) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string testNameOf(const fs::path& file) {
    std::string name = file.stem().string();
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

}  // namespace meridel::testing
