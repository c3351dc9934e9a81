// Prints the C header of the worked plan for CHIP at CLOCK MHz with a hand-made WSPR message
// table, for the header compile test.
#include <cstdio>
#include <cstdlib>

#include "firmware/c_header.h"
#include "support/plan_run.h"

int main(int argc, char** argv) {
    using namespace meridel;
    if (argc != 3 || !dds::findChip(argv[1])) {
        std::fprintf(stderr, "usage: sample_header CHIP CLOCK_MHZ\n");
        return 2;
    }
    run::RunWords words;
    if (testing::runPlan({argv[2], "1", "14.0956", "1", "1500", "170", "JT65B"}, words)) return 1;
    const firmware::MessageTable wspr{
        "wspr",           "WSPR",
        "K1ABC FN42 37",  {3, 3, 0, 0, 2, 0, 2, 2, 1, 2, 0, 3, 1, 3, 3, 2, 2, 0},
        8192.0 / 12000.0, "WSPR Base"};
    const std::string header =
        firmware::cHeader(firmware::chipWords(words, *dds::findChip(argv[1]), 6), {&wspr, 1});
    std::fwrite(header.data(), 1, header.size(), stdout);
    return 0;
}
