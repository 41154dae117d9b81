#include "CliApp.h"

int main(int argc, char** argv) {
  return varnow::cli::RunCli(argc, argv);
}
