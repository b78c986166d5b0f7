#include "cli/command_table.h"

int main(int argc, char** argv) {
  return tarvo::cli::RunCommandLine(argc, argv);
}
