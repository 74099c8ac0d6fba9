#include "rank_writer.h"

#include "catalogue.h"
#include "text.h"

int write_ranks(FILE* out, bool crlf, const char* stamp) {
    const char* eol = crlf ? "\r\n" : "\n";
    const char* t1 = "\t";
    const char* t2 = "\t\t";
    const char* t3 = "\t\t\t";
    fprintf(out, "%s<ranks>%s%s<!-- pravtweak ranks %s -->%s", t1, eol, t1, stamp, eol);
    for (int32_t i = 0; i < current_model->rank_count; ++i) {
        const RankRecord& r = current_model->ranks[i];
        fprintf(out, "%s<rank id=\"%d\">%s", t2, r.id, eol);
        fprintf(out, "%s<device>Pipravox Fluidsynth</device>%s", t3, eol);
        fprintf(out, "%s<channel>%d</channel>%s", t3, r.channel, eol);
        fprintf(out, "%s<volume>%d</volume>%s", t3, r.volume, eol);
        fprintf(out, "%s<pan>%d</pan>%s", t3, r.pan, eol);
        fprintf(out, "%s<bank>%d</bank>%s", t3, r.bank, eol);
        fprintf(out, "%s<patch1>%d</patch1>%s", t3, r.patch1, eol);
        fprintf(out, "%s<patch2>%d</patch2>%s", t3, r.patch2, eol);
        fprintf(out, "%s</rank>%s", t2, eol);
    }
    fprintf(out, "%s</ranks>%s", t1, eol);
    return 0;
}

void write_beside_tag(FILE* out, const char* text, size_t size, const char* eol) {
    if (trim_white({text, size}).empty())
        return;
    fwrite(text, 1, size, out);
    fputs(eol, out);
}
