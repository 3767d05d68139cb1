#pragma once

#include <ostream>
#include <string>
#include <vector>

// Exit codes of kelvon-lng.
constexpr int kExitClean = 0;
constexpr int kExitFindings = 1;
constexpr int kExitUnreadable = 2;  // also for a command line it does not understand

// Runs one command (`arguments` without the program's name): catalogs go to
// `out`, findings too, everything else to `err`.
int RunKelvonLng(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);
