#include "edit_text.h"

#include <cstring>
#include <string>

#include "change_report.h"
#include "exit_status.h"
#include "files.h"
#include "rank_reader.h"
#include "rank_writer.h"
#include "settings.h"
#include "text.h"

namespace {

const char open_tag[] = "<ranks>";
const char close_tag[] = "</ranks>";

// The bytes of the piece before the first occurrence of tag.
std::string text_before(const Piece& piece, const char* tag) {
    const char* found = find_bytes(piece.data, piece.size, tag, strlen(tag));
    return std::string(piece.data, static_cast<size_t>(found - piece.data));
}

// The bytes of the piece after the first occurrence of tag, without the
// piece's line end.
std::string text_after(const Piece& piece, const char* tag) {
    size_t tag_size = strlen(tag);
    const char* found = find_bytes(piece.data, piece.size, tag, tag_size);
    size_t end = piece.size;
    if (end > 0 && piece.data[end - 1] == '\n')
        end -= piece.crlf ? 2 : 1;
    size_t start = static_cast<size_t>(found - piece.data) + tag_size;
    return start < end ? std::string(piece.data + start, end - start) : std::string();
}

const char* line_end_of(const Piece& piece) {
    if (piece.crlf)
        return "\r\n";
    return piece.size > 0 && piece.data[piece.size - 1] == '\n' ? "\n" : "";
}

}  // namespace

int edit_organ_text(LineSource& input, FILE* output, int& line_number, FILE* report) {
    // The table holds the catalogue's values until the first section.
    const OrganModel catalogue_values = *current_model;
    OrganModel held;
    Piece ranks_line;
    while (input.copy_until_ranks(output, line_number, ranks_line)) {
        if (report)
            held = catalogue_values;
        // Both pieces are copied out before the next read overwrites them.
        const bool crlf = ranks_line.crlf;
        const std::string before = text_before(ranks_line, open_tag);
        Piece end_line;
        if (read_ranks(input, line_number, &end_line, report ? &held : nullptr) != 0)
            return ExitPrematureEnd;
        const std::string after = text_after(end_line, close_tag);
        const char* after_eol = line_end_of(end_line);
        if (apply_all_settings() != 0)
            return ExitPrematureEnd;
        write_beside_tag(output, before.data(), before.size(), crlf ? "\r\n" : "\n");
        write_ranks(output, crlf, date_stamp());
        write_beside_tag(output, after.data(), after.size(), after_eol);
        if (report)
            report_changes(held, *current_model, report);
    }
    return 0;
}
