#include "cli/Commands.hpp"

int main(int argc, char** argv) {
  return olm::cli::RunOlm(argc, argv);
}
