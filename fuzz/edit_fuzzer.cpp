// One whole edit of an organ file, without the final swap: an INI file and
// an organ file cut from one input, the run configuration loaded from the
// INI file, a model chosen, then the copy loop, the reader, the settings and
// the writer. The text outside the rank sections must come out byte for
// byte, the last section written must read back to the rank table, -v's
// report must count each section written once, and the edit must find the
// text the same exactly when it is the input but for the date stamps.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue.h"
#include "edit_text.h"
#include "exit_status.h"
#include "files.h"
#include "fuzz_support.h"
#include "ini/run_configuration.h"
#include "messages.h"
#include "rank_reader.h"

namespace {

using std::string_view;

const string_view open_tag = "<ranks>", close_tag = "</ranks>";

// The sections the edit wrote, each without its "<ranks>" line.
struct Written {
    std::string sections;
    size_t count = 0;
};

bool holds(string_view text, string_view tag) {
    return text.find(tag) != string_view::npos;
}

bool blank(string_view text) {
    return text.find_first_not_of(" \t\n\v\f\r") == string_view::npos;
}

// The organ text in the pieces that the editor reads: up to and including a
// line feed, at most 999 characters, a CR LF counting as one.
std::vector<string_view> pieces_of(string_view text) {
    std::vector<string_view> pieces;
    while (!text.empty()) {
        size_t size = std::min(text.find('\n'), text.size() - 1) + 1;
        if (size > MAX_PIECE)
            size = text.substr(MAX_PIECE - 1, 2) == "\r\n" ? MAX_PIECE + 1 : MAX_PIECE;
        pieces.push_back(text.substr(0, size));
        text.remove_prefix(size);
    }
    return pieces;
}

string_view line_end(string_view piece) {
    if (piece.size() >= 2 && piece.substr(piece.size() - 2) == "\r\n")
        return "\r\n";
    return !piece.empty() && piece.back() == '\n' ? "\n" : "";
}

// The text with every date stamp of a section's comment line taken out.
std::string without_stamps(string_view text) {
    const string_view open = "<!-- pravtweak ranks ", close = " -->";
    std::string out;
    for (size_t at; (at = text.find(open)) != string_view::npos;) {
        size_t from = at + open.size(), to = text.find(close, from);
        bool stamp = to != string_view::npos && is_date_stamp(text.substr(from, to - from));
        out.append(text.substr(0, from));
        text.remove_prefix(stamp ? to : from);
    }
    return out.append(text);
}

// Takes bytes off the front of the output.
void expect(string_view& output, string_view bytes, const char* what) {
    require(output.substr(0, bytes.size()) == bytes, what);
    output.remove_prefix(bytes.size());
}

// Takes a generated section off the front of the output: its lines, each
// ending in eol; all but the first, "<ranks>", go to written.
void take_section(string_view& output, string_view eol, Written& written) {
    size_t lines = 3 + 9 * static_cast<size_t>(current_model->rank_count), size = 0;
    for (size_t i = 0; i < lines; ++i) {
        size_t lf = output.find('\n', size);
        require(lf != string_view::npos, "a generated section is whole");
        size = lf + 1;
        require(line_end(output.substr(0, size)) == eol, "the section keeps the line end");
    }
    size_t first = output.find('\n') + 1;
    require(holds(output.substr(0, first), open_tag), "the section starts with <ranks>");
    written.sections.append(output.substr(first, size - first));
    written.count++;
    output.remove_prefix(size);
}

// Walks the input as the edit must have copied it, taking every expected
// part off the output; returns the generated sections.
Written check_edit(string_view input, string_view output, int status) {
    std::vector<string_view> pieces = pieces_of(input);
    Written written;
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (!holds(pieces[i], open_tag)) {
            expect(output, pieces[i], "text outside the rank sections is copied");
            continue;
        }
        size_t end = i + 1;
        while (end < pieces.size() &&
               (!holds(pieces[end], close_tag) || holds(pieces[end], "<rank id=\"") ||
                holds(pieces[end], "</rank>")))
            ++end;
        if (end == pieces.size()) {
            require(status == ExitPrematureEnd && output.empty(), "a section that never ends");
            return written;
        }
        string_view before = pieces[i].substr(0, pieces[i].find(open_tag));
        string_view eol = line_end(pieces[i]) == "\r\n" ? "\r\n" : "\n";
        if (!blank(before))
            expect(output, std::string(before) + std::string(eol), "text before <ranks> is kept");
        take_section(output, eol, written);
        string_view rest = pieces[end].substr(pieces[end].find(close_tag) + close_tag.size());
        string_view after = rest.substr(0, rest.size() - line_end(rest).size());
        if (!blank(after))
            expect(output, rest, "text after </ranks> is kept");
        i = end;
    }
    require(status == 0 && output.empty(), "the edit ends with the input");
    return written;
}

// Reads the generated sections back, each into a scrambled rank table: each
// must read without a message, and after a whole edit the last one gives
// the table again (a section that never ended has changed it since).
void read_sections_back(const Written& written, bool whole_edit) {
    const OrganModel edited = *current_model;
    FILE* file = stream_of(written.sections);
    LineSource source(file);
    int line_number = 0;
    for (size_t k = 0; k < written.count; ++k) {
        for (int32_t i = 0; i < current_model->rank_count; ++i) {
            RankRecord& r = current_model->ranks[i];
            r.channel = r.volume = r.pan = r.bank = r.patch1 = r.patch2 = -12345;
        }
        clear_read_flags();
        int errors = error_count;
        require(read_ranks(source, line_number) == 0 && error_count == errors,
                "a generated section reads back without a message");
    }
    for (int32_t i = 0; whole_edit && i < current_model->rank_count; ++i) {
        const RankRecord &a = edited.ranks[i], &b = current_model->ranks[i];
        require(a.channel == b.channel && a.volume == b.volume && a.pan == b.pan &&
                    a.bank == b.bank && a.patch1 == b.patch1 && a.patch2 == b.patch2,
                "the last section reads back to the rank table");
    }
    Piece piece;
    require(!source.next_piece(piece), "nothing follows the last section");
    fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string ini = scratch_file("fuzz.ini");
    std::vector<std::string> parts = cut_input(data, size, 2);
    const std::string& organ = parts.back();
    write_file(ini, parts.size() == 2 ? parts[0] : "");
    runConfiguration = RunConfiguration();
    setIniPath(ini.c_str());
    loadRunConfiguration();
    reset_catalogue();
    if (!find_model(runConfiguration.modelName.c_str()))
        find_model(model_catalogue[size % 4].name);
    clear_read_flags();

    FILE* input = stream_of(organ);
    FILE* output = std::tmpfile();
    FILE* report = std::tmpfile();
    if (!output || !report)
        std::abort();
    int line_number = 0, status;
    bool same_text = false;
    {
        LineSource source(input);
        const ChangeReportTo report_to{report, "organ.xml"};
        status = edit_organ_text(source, output, line_number, same_text, &report_to);
    }
    std::string edited = read_back(output);
    std::string reports = read_back(report);
    fclose(input);
    fclose(output);
    fclose(report);
    const Written written = check_edit(organ, edited, status);
    size_t counts = 0;
    for (size_t at = 0; (at = reports.find(" ranks changed", at)) != std::string::npos; ++at)
        ++counts;
    require(counts == written.count, "each section written is reported once");
    if (status == 0) {
        require(same_text == (without_stamps(edited) == without_stamps(organ)),
                "the text is the same when it differs in date stamps alone");
        require((reports.find("; organ.xml left as it was.\n") != std::string::npos) ==
                    (same_text && written.count > 0),
                "the report's last line tells when the file stays");
    }
    read_sections_back(written, status == 0);
    releaseRunMaps();
    return 0;
}
