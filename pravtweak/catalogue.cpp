#include "catalogue.h"

#include <cstdio>

#include "text.h"

OrganModel model_catalogue[5];
OrganModel* current_model = nullptr;

namespace {

struct RankDefaults {
    const char* name;
    int32_t pan, patch1, patch2;
};

const RankDefaults model_40x[] = {
    {"Flute", 16, 94, 44},
    {"Diaphonic Diapason", 16, 60, 10},
    {"Harmonic Tuba", 16, 56, 6},
    {"Viol d'Orchestre", 16, 75, 25},
    {"Viol Celeste", 16, 76, 26},
    {"Vox Humana", 112, 89, 39},
    {"Tibia Clausa I", 112, 68, 18},
    {"Clarinet", 16, 82, 32},
    {"Orchestral Oboe", 112, 83, 33},
    {"Traps", 112, 0, 0},
    {"English Horn", 112, 50, 50},
    {"Harp/Marimba", 112, 110, 111},
    {"Cathedral Chimes", 112, 113, 113},
    {"Xylophone", 112, 105, 105},
    {"Glockenspiel/Bells", 112, 103, 104},
    {"Chrysoglott", 16, 121, 122},
    {"Sleigh Bells", 112, 115, 115},
    {"Horn Diapason", 112, 61, 11},
    {"Musette", 16, 90, 40},
    {"Tibia Clausa II", 16, 69, 19},
    {"Saxophone", 112, 85, 35},
    {"Trumpet", 112, 51, 1},
    {"Salicional", 16, 80, 30},
    {"Quintadena", 112, 64, 14},
    {"Oboe Horn", 112, 86, 36},
    {"Kinura", 112, 84, 34},
    {"Piano", 64, 100, 101},
};

const RankDefaults model_20c[] = {
    {"Flute", 64, 94, 44},
    {"Diaphonic Diapason", 64, 60, 10},
    {"Trumpet", 64, 56, 6},
    {"Salicional", 64, 80, 30},
    {"Viol Celeste", 64, 81, 31},
    {"Vox Humana", 64, 89, 39},
    {"Cathedral Chimes", 64, 113, 113},
    {"Xylophone", 64, 106, 106},
    {"Glockenspiel/Bells", 64, 103, 104},
    {"Traps", 64, 0, 0},
    {"Piano", 64, 100, 101},
};

const RankDefaults model_10[] = {
    {"Flute", 64, 94, 44},
    {"Trumpet", 64, 51, 1},
    {"Salicional", 64, 80, 30},
    {"Vox Humana", 64, 89, 39},
    {"Tibia Clausa", 64, 68, 18},
    {"Cathedral Chimes", 64, 113, 113},
    {"Xylophone", 64, 105, 105},
    {"Glockenspiel/Bells", 64, 103, 104},
    {"The Unknown Flute", 64, 94, 44},
    {"Traps", 64, 0, 0},
};

// Every rank starts on the channel of its id, at volume 95 and in bank 25.
void fill_model(OrganModel& model, const char* name, const RankDefaults* ranks, int32_t count) {
    model = OrganModel{};
    model.name = name;
    model.rank_count = count;
    for (int32_t id = 0; id < count; ++id)
        model.ranks[id] =
            RankRecord{ranks[id].name,   id,   id, 95, ranks[id].pan, 25, ranks[id].patch1,
                       ranks[id].patch2, false};
}

struct CatalogueInit {
    CatalogueInit() { reset_catalogue(); }
} catalogue_init;

}  // namespace

void reset_catalogue() {
    fill_model(model_catalogue[0], "Pipravox40X", model_40x, 27);
    fill_model(model_catalogue[1], "Pipravox30", model_40x, 17);
    model_catalogue[1].ranks[6].name = "Tibia Clausa";
    fill_model(model_catalogue[2], "Pipravox20c", model_20c, 11);
    fill_model(model_catalogue[3], "Pipravox10", model_10, 10);
    model_catalogue[4] = OrganModel{};
    current_model = nullptr;
}

bool find_model(const char* name) {
    current_model = nullptr;
    for (OrganModel* model = model_catalogue; model->name; ++model) {
        if (find_nocase(model->name, name)) {
            current_model = model;
            return true;
        }
    }
    return false;
}

void list_models() {
    for (const OrganModel* model = model_catalogue; model->name; ++model) {
        printf("%s\n", model->name);
        for (int32_t i = 0; i < model->rank_count; ++i)
            printf("  %s\n", model->ranks[i].name);
    }
}

RankRecord* find_rank_by_id(int32_t id) {
    if (!current_model)
        return nullptr;
    for (int32_t i = 0; i < current_model->rank_count; ++i)
        if (current_model->ranks[i].id == id)
            return &current_model->ranks[i];
    return nullptr;
}

RankRecord* find_rank_by_name(const char* text) {
    if (!current_model)
        return nullptr;
    for (int32_t i = 0; i < current_model->rank_count; ++i)
        if (find_nocase(current_model->ranks[i].name, text))
            return &current_model->ranks[i];
    return nullptr;
}

void clear_read_flags() {
    if (!current_model)
        return;
    for (int32_t i = 0; i < current_model->rank_count; ++i)
        current_model->ranks[i].read = false;
}
