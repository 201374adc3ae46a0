#pragma once
// The host's help text, one source for `paloran help`, `paloran help COMMAND`
// and the manual page: the command table (command_list.inc) plus the option
// sections below it.
#include <cstdio>

namespace plr::host {

// The whole usage text: every command, every option section, the brushes.
void printUsage(std::FILE* out);
// One command's synopsis, summary and the option sections that concern it;
// false when no command has that name.
bool printCommandHelp(std::FILE* out, const char* name);
// The same text as a manual page (roff, section 1).
void printManPage(std::FILE* out);
// `paloran help [COMMAND | --man]`.
int runHelp(int argc, char** argv);

}  // namespace plr::host
