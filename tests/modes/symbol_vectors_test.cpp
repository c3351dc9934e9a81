// Every message of a vector file encodes to its symbols, or is refused where the reference
// encoder would send something other than what was typed. jt65/jt4/wspr.txt come from the
// wsjtx tools (scripts/gen-mode-vectors), worked_examples.txt from the modes' documents.
#include <gtest/gtest.h>

#include "vector_file.h"

namespace meridel::modes {
namespace {

struct VectorFile {
    const char* name;
    std::size_t minRows;  // guards against a truncated or missing file
};

class SymbolVectors : public ::testing::TestWithParam<VectorFile> {};

TEST_P(SymbolVectors, EncodeToTheirSymbolsOrAreRefused) {
    const auto rows = readVectorFile(GetParam().name);
    ASSERT_GE(rows.size(), GetParam().minRows);
    for (const VectorRow& row : rows) {
        SCOPED_TRACE(std::string(GetParam().name) + ":" + std::to_string(row.line) + " \"" +
                     row.message + "\"");
        if (row.expected[0] == '!') {
            EXPECT_THROW(encodeRow(row), MessageError) << row.expected;
            continue;
        }
        try {
            const SymbolTable table = encodeRow(row);
            EXPECT_EQ(table.mode, row.mode.substr(0, row.mode.find('@')));
            EXPECT_EQ(spellSymbols(table), row.expected);
        } catch (const MessageError& e) {
            ADD_FAILURE() << e.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Files, SymbolVectors,
                         ::testing::Values(VectorFile{"jt65.txt", 500}, VectorFile{"jt4.txt", 500},
                                           VectorFile{"wspr.txt", 190},
                                           VectorFile{"worked_examples.txt", 20}),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             return n.substr(0, n.find('.'));
                         });

TEST(Refusals, NameTheMessageTheProblemAndWhatIsAllowed) {
    const auto rows = readVectorFile("refusals.txt");
    ASSERT_GE(rows.size(), 50u);
    for (const VectorRow& row : rows) {
        SCOPED_TRACE("refusals.txt:" + std::to_string(row.line) + " \"" + row.message + "\"");
        try {
            encodeRow(row);
            ADD_FAILURE() << "accepted";
        } catch (const MessageError& e) {
            const std::string what = e.what();
            EXPECT_NE(what.find(row.expected), std::string::npos) << what;
            EXPECT_NE(what.find(" message \""), std::string::npos) << what;
            EXPECT_NE(what.find("; "), std::string::npos)
                << "says nothing of what is allowed: " << what;
        }
    }
}

}  // namespace
}  // namespace meridel::modes
