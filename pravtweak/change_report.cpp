#include "change_report.h"

namespace {

struct ReportedField {
    const char* name;
    int32_t RankRecord::*member;
};

const ReportedField reported_fields[] = {
    {"volume", &RankRecord::volume}, {"pan", &RankRecord::pan},       {"bank", &RankRecord::bank},
    {"patch1", &RankRecord::patch1}, {"patch2", &RankRecord::patch2},
};

}  // namespace

int report_rank_changes(const OrganModel& held, const OrganModel& written, FILE* out) {
    int changed = 0;
    for (int32_t i = 0; i < written.rank_count; ++i) {
        const RankRecord& before = held.ranks[i];
        const RankRecord& after = written.ranks[i];
        bool differs = false;
        for (const ReportedField& field : reported_fields) {
            if (before.*field.member == after.*field.member)
                continue;
            if (differs)
                fputs(", ", out);
            else
                fprintf(out, "%s: ", after.name);
            fprintf(out, "%s %d -> %d", field.name, before.*field.member, after.*field.member);
            differs = true;
        }
        if (differs) {
            fputc('\n', out);
            ++changed;
        }
    }
    return changed;
}

void report_count(int changed, int rank_count, FILE* out, const char* left_as_it_was) {
    if (left_as_it_was)
        fprintf(out, "%d of %d ranks changed; %s left as it was.\n", changed, rank_count,
                left_as_it_was);
    else
        fprintf(out, "%d of %d ranks changed.\n", changed, rank_count);
    fflush(out);
}
