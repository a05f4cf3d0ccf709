// A board on a pseudo-terminal for the scripted desktop test:
//
//   pty_board OUT
//
// Prints the terminal's path on a line of its own, echoes as a board's
// console does (tests/support/fake_board.h) until standard input ends, then
// writes every byte it received to OUT.
#include <cstdio>
#include <fstream>
#include <iostream>

#include "support/fake_board.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: pty_board OUT\n", stderr);
    return 2;
  }
  vennik::testing::FakeBoard board(vennik::testing::FakeBoard::Behaviour::Echo);
  if (board.port().empty()) {
    std::fputs("pty_board: no pseudo-terminal could be made\n", stderr);
    return 1;
  }
  std::cout << board.port() << std::endl;
  for (char c; std::cin.get(c);) {
  }
  std::ofstream(argv[1], std::ios::binary) << board.finish();
  return 0;
}
