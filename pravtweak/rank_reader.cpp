#include "rank_reader.h"

#include <cctype>
#include <cstring>

#include "catalogue.h"
#include "exit_status.h"
#include "messages.h"
#include "text.h"

namespace {

struct Field {
    const char* tag;
    int32_t RankRecord::*member;
};

// Tried in this order: the first tag a line holds names its field.
const Field fields[] = {
    {"<channel>", &RankRecord::channel}, {"<volume>", &RankRecord::volume},
    {"<pan>", &RankRecord::pan},         {"<bank>", &RankRecord::bank},
    {"<patch1>", &RankRecord::patch1},   {"<patch2>", &RankRecord::patch2},
};

}  // namespace

bool tag_value(const Piece& line, const char* tag, int32_t& value) {
    size_t tag_size = strlen(tag);
    const char* found = find_bytes(line.data, line.size, tag, tag_size);
    if (!found)
        return false;
    // The piece is not terminated: copy what follows the tag (it is short).
    const char* end = line.data + line.size;
    const char* p = found + tag_size;
    while (p < end && is_white(*p))
        ++p;
    char digits[32];
    size_t n = 0;
    if (p < end && (*p == '+' || *p == '-'))
        digits[n++] = *p++;
    // Leading zeros add nothing and would only fill the copy.
    while (p + 1 < end && *p == '0' && is_digit(p[1]))
        ++p;
    while (p < end && n < sizeof digits - 1 && is_digit(*p))
        digits[n++] = *p++;
    digits[n] = '\0';
    value = read_decimal(digits);
    return true;
}

std::string line_excerpt(const Piece& line) {
    return std::string(trim_white({line.data, line.size}));
}

int read_ranks(LineSource& source, int& line_number, Piece* end_line, OrganModel* held,
               bool quiet) {
    RankRecord* rank = nullptr;
    int32_t id = 0;
    Piece line;
    while (source.next_piece(line)) {
        count_lines(line_number, 1);
        if (piece_contains(line, "<rank id=\"")) {
            tag_value(line, "<rank id=\"", id);
            rank = find_rank_by_id(id);
            if (!rank && !quiet)
                complain(false, "pravtweak %d:rank %d unknown (%s)", line_number, id,
                         line_excerpt(line).c_str());
            continue;
        }
        if (piece_contains(line, "</rank>")) {
            if (rank)
                rank->read = true;
            id = -1;
            continue;
        }
        if (piece_contains(line, "</ranks>")) {
            for (int32_t i = 0; i < current_model->rank_count; ++i)
                if (!current_model->ranks[i].read && !quiet)
                    complain(false, "pravtweak %d:rank %s wasn't read!", line_number,
                             current_model->ranks[i].name);
            if (end_line)
                *end_line = line;
            return 0;
        }
        if (id < 0 && !quiet)
            complain(false, "pravtweak %d:missing rank id <ranks>?", line_number);
        if (piece_contains(line, "<device>"))
            continue;
        for (const Field& field : fields) {
            int32_t value;
            if (tag_value(line, field.tag, value)) {
                if (rank)
                    rank->*field.member = value;
                if (rank && held)
                    held->ranks[rank - current_model->ranks].*field.member = value;
                break;
            }
        }
    }
    if (!quiet)
        complain(false, "pravtweak %d:premature end of <ranks>", line_number);
    return ExitPrematureEnd;
}
