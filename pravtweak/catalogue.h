// The built-in organ models; the one selected for a run is its rank table.
#pragma once

#include <cstdint>

const int MAX_RANKS_PER_MODEL = 27;

struct RankRecord {
    const char* name;
    int32_t id;
    int32_t channel;
    int32_t volume;
    int32_t pan;
    int32_t bank;
    int32_t patch1;
    int32_t patch2;
    bool read;
};

struct OrganModel {
    const char* name;  // null ends the catalogue
    int32_t rank_count;
    RankRecord ranks[MAX_RANKS_PER_MODEL];
};

// The four models, then an entry without a name.
extern OrganModel model_catalogue[5];

// The model selected by find_model, or null.
extern OrganModel* current_model;

// Puts the catalogue back to its built-in values and forgets the current
// model (for tests; the program starts that way).
void reset_catalogue();

// Selects the first model whose name contains the text, case ignored;
// an empty text finds none.
bool find_model(const char* name);

// Writes every model name and its rank names to standard output.
void list_models();

// First rank of the current model with that id, or null.
RankRecord* find_rank_by_id(int32_t id);

// First rank of the current model whose name contains the text, case
// ignored; an empty text finds none.
RankRecord* find_rank_by_name(const char* text);

void clear_read_flags();
