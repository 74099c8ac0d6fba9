#include "rank_writer.h"

#include <cstdarg>
#include <cstdio>

#include "catalogue.h"
#include "text.h"

namespace {

// Appends one formatted line; every line of a section is short.
void append_line(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
void append_line(std::string& out, const char* format, ...) {
    char line[128];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (n > 0)
        out.append(line,
                   static_cast<size_t>(n) < sizeof line ? static_cast<size_t>(n) : sizeof line - 1);
}

}  // namespace

size_t write_ranks(std::string& out, bool crlf, const char* stamp) {
    const char* eol = crlf ? "\r\n" : "\n";
    const char* t1 = "\t";
    const char* t2 = "\t\t";
    const char* t3 = "\t\t\t";
    append_line(out, "%s<ranks>%s%s<!-- pravtweak ranks ", t1, eol, t1);
    const size_t stamp_at = out.size();
    out += stamp;
    append_line(out, " -->%s", eol);
    for (int32_t i = 0; i < current_model->rank_count; ++i) {
        const RankRecord& r = current_model->ranks[i];
        append_line(out, "%s<rank id=\"%d\">%s", t2, r.id, eol);
        append_line(out, "%s<device>Pipravox Fluidsynth</device>%s", t3, eol);
        append_line(out, "%s<channel>%d</channel>%s", t3, r.channel, eol);
        append_line(out, "%s<volume>%d</volume>%s", t3, r.volume, eol);
        append_line(out, "%s<pan>%d</pan>%s", t3, r.pan, eol);
        append_line(out, "%s<bank>%d</bank>%s", t3, r.bank, eol);
        append_line(out, "%s<patch1>%d</patch1>%s", t3, r.patch1, eol);
        append_line(out, "%s<patch2>%d</patch2>%s", t3, r.patch2, eol);
        append_line(out, "%s</rank>%s", t2, eol);
    }
    append_line(out, "%s</ranks>%s", t1, eol);
    return stamp_at;
}

void write_beside_tag(std::string& out, const std::string& text, const char* eol) {
    if (trim_white(text).empty())
        return;
    out += text;
    out += eol;
}
