#include <cstdio>

#include "cli/cli.h"

int main(int argc, char** argv) {
    return meridel::cli::runCli(std::vector<std::string>(argv + 1, argv + argc), stdout, stderr);
}
