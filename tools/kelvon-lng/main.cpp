// kelvon-lng: writes and checks the text catalog "uninstall.lng" against the
// texts of the program and its language library.
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return RunKelvonLng(arguments, std::cout, std::cerr);
}
