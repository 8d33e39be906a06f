#include "cli/cli.h"

int main(int argc, char** argv) { return tsl::RunCli(argc, argv); }
