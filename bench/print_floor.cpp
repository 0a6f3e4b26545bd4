// The floor of one solve from the shell: a C++ program that starts, formats one line with the
// standard library and prints it.
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    std::cout << std::string(argv[argc - 1]) + " = " + std::to_string(2.385) << '\n';
}
