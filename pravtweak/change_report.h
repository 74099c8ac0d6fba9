// The report of -v: which settings of which ranks a rank section changes.
#pragma once

#include <cstdio>

#include "catalogue.h"

// Writes to out, for each rank of written in table order whose volume, pan,
// bank, patch1 or patch2 differs from held, a line
// "NAME: FIELD OLD -> NEW, FIELD OLD -> NEW", then "N of M ranks changed."
// with M the model's rank count; flushes out.
void report_changes(const OrganModel& held, const OrganModel& written, FILE* out);
