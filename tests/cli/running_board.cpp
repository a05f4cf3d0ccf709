// A board on a pseudo-terminal that keeps and runs programs, for the editor
// tests and for trying `run` and `term` by hand:
//
//   running_board DRIVE
//
// Prints the terminal's path on a line of its own, then plays the board
// (tests/support/fake_board.h, Runs) with DRIVE as its drive until standard
// input ends.
#include <cstdio>
#include <iostream>

#include "support/fake_board.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: running_board DRIVE\n", stderr);
    return 2;
  }
  std::string drive = argv[1];
  if (!drive.ends_with('/')) drive += '/';
  vennik::testing::FakeBoard board(vennik::testing::FakeBoard::Behaviour::Runs, drive);
  if (board.port().empty()) {
    std::fputs("running_board: no pseudo-terminal could be made\n", stderr);
    return 1;
  }
  std::cout << board.port() << std::endl;
  for (char c; std::cin.get(c);) {
  }
  board.finish();
  return 0;
}
