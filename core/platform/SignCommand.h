// Signing a finished program with a command the author gives (osslsigncode, signtool, a
// script): every "%1" in the command is replaced by the file's path, and the command signs the
// file where it is. The command runs through the shell, so quote "%1" when paths may hold spaces.
#pragma once

#include <string>

namespace velkan {

// The command with every "%1" replaced by path.
std::string SignCommandFor(const std::string& command, const std::string& path);

// Runs the command for path through /bin/sh, its output going to our stderr (stdout carries
// reports). Throws CError naming the command when it cannot start or does not exit with 0.
void RunSignCommand(const std::string& command, const std::string& path);

}  // namespace velkan
