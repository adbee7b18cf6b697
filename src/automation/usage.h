#pragma once
// "--help" and "--version" of quillaro and quillaro-run: the command line keys, in Russian
// or English by the locale, printed before anything else is done.
#include <cstdio>
#include <string>

namespace quillaro {

struct ProgramArguments;

enum class ProgramKind { Window, HiddenOnly };  // quillaro, quillaro-run

// True when the messages' locale is Russian: the first set of LC_ALL, LC_MESSAGES and LANG
// begins with "ru" (null or empty values are passed over).
bool russianLocale(const char* lcAll, const char* lcMessages, const char* lang);
// The same from the environment.
bool russianLocale();

std::string usageText(ProgramKind kind, bool russian);
std::string versionText(ProgramKind kind);

// Prints the usage for "--help" or the version for "--version" to `out`; true when one of
// them was asked for (the program then ends with status 0).
bool printUsageOrVersion(const ProgramArguments& args, ProgramKind kind, std::FILE* out = stdout);

}  // namespace quillaro
