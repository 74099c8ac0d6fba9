// The report of -v: which settings of which ranks a rank section changes.
#pragma once

#include <cstdio>

#include "catalogue.h"

// Writes to out, for each rank of written in table order whose volume, pan,
// bank, patch1 or patch2 differs from held, a line
// "NAME: FIELD OLD -> NEW, FIELD OLD -> NEW"; returns how many there are.
int report_rank_changes(const OrganModel& held, const OrganModel& written, FILE* out);

// Writes "N of M ranks changed." (M: the model's rank count), or with
// left_as_it_was "N of M ranks changed; NAME left as it was.", and flushes
// out.
void report_count(int changed, int rank_count, FILE* out, const char* left_as_it_was = nullptr);
