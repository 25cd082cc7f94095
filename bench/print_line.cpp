// print_line: prints one line and ends, the floor of a C++ program's start (its loader and the
// C++ library), which the start-up bench measures Quillon's against.
#include <iostream>

int main() {
    std::cout << "quillon\n";
    return 0;
}
