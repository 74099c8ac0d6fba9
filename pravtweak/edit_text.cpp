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

// A section's text longer than this cannot be one the writer makes.
const size_t longest_section = 1 << 16;

// True when the section as the file held it is the one written, but for
// the date stamp that starts at stamp_at in written.
bool same_but_stamp(const std::string& held, const std::string& written, size_t stamp_at) {
    const size_t stamp_end = written.find(" -->", stamp_at);
    const size_t tail = written.size() - stamp_end;
    return held.size() >= stamp_at + tail && held.compare(0, stamp_at, written, 0, stamp_at) == 0 &&
           held.compare(held.size() - tail, tail, written, stamp_end, tail) == 0 &&
           is_date_stamp(std::string_view(held).substr(stamp_at, held.size() - tail - stamp_at));
}

}  // namespace

int edit_organ_text(LineSource& input, FILE* output, int& line_number, bool& same_text,
                    const ChangeReportTo* report) {
    // The table holds the catalogue's values until the first section.
    const OrganModel catalogue_values = *current_model;
    OrganModel held;
    Piece ranks_line;
    std::string held_text, written;
    // A section's count line waits until the next section is found or the
    // input ends: the last one tells whether the file is left as it was.
    int pending_count = -1;
    same_text = true;
    while (input.copy_until_ranks(output, line_number, ranks_line)) {
        if (report && pending_count >= 0)
            report_count(pending_count, current_model->rank_count, report->out);
        if (report)
            held = catalogue_values;
        // Both pieces are copied out before the next read overwrites them.
        const bool crlf = ranks_line.crlf;
        const std::string before = text_before(ranks_line, open_tag);
        held_text.assign(ranks_line.data, ranks_line.size);
        input.start_recording(&held_text, longest_section);
        Piece end_line;
        int read = read_ranks(input, line_number, &end_line, report ? &held : nullptr);
        const bool whole = input.stop_recording();
        if (read != 0)
            return ExitPrematureEnd;
        const std::string after = text_after(end_line, close_tag);
        const char* after_eol = line_end_of(end_line);
        if (apply_all_settings() != 0)
            return ExitPrematureEnd;
        written.clear();
        write_beside_tag(written, before, crlf ? "\r\n" : "\n");
        const size_t stamp_at = write_ranks(written, crlf, date_stamp());
        write_beside_tag(written, after, after_eol);
        fwrite(written.data(), 1, written.size(), output);
        same_text = same_text && whole && same_but_stamp(held_text, written, stamp_at);
        if (report)
            pending_count = report_rank_changes(held, *current_model, report->out);
    }
    if (report && pending_count >= 0)
        report_count(pending_count, current_model->rank_count, report->out,
                     same_text ? report->organ_name : nullptr);
    return 0;
}
