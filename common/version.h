// The program's version, as the packages carry it.
#pragma once

// True, after "NAME VERSION" and a line feed on standard output, when one
// of the arguments is exactly "--version"; nothing else is looked at then.
bool shows_version(int argc, char** argv, const char* name);
