// SPDX-License-Identifier: GPL-3.0-or-later
// Option texts are checked by validators, so finish() reads only texts that parse.
#include "splitcommand.h"

#include "timeargument.h"

#include <string_view>

namespace parvex {

namespace {

std::vector<std::string> commaSeparated(std::string_view text)
{
    std::vector<std::string> items;
    std::size_t from = 0;
    while (true) {
        const auto comma = text.find(',', from);
        items.emplace_back(text.substr(from, comma - from));
        if (comma == std::string_view::npos)
            return items;
        from = comma + 1;
    }
}

// TIMES: one time or more, separated by commas; each a time above zero.
CLI::Validator timesValidator(std::size_t most)
{
    return CLI::Validator(
        [most](std::string& text) -> std::string {
            const auto items = commaSeparated(text);
            if (items.size() > most)
                return "expects at most " + std::to_string(most) + " times, got \"" + text + "\"";
            for (const auto& item : items) {
                std::string error;
                const auto time = ParseTimeArgument(item, &error);
                if (!time)
                    return error;
                if (time->totalSeconds() < 0 || time->nanoseconds < 0
                    || (time->totalSeconds() == 0 && time->nanoseconds == 0))
                    return "must be times after 0, got \"" + item + "\"";
            }
            return {};
        },
        "");
}

CLI::Validator between(double low, double high, const char* what)
{
    return CLI::Validator(
        [low, high, what](std::string& text) -> std::string {
            double value = 0;
            std::size_t used = 0;
            try {
                value = std::stod(text, &used);
            } catch (const std::exception&) {
                used = 0;
            }
            if (used != text.size() || text.empty() || !(value >= low && value <= high))
                return std::string("must be ") + what + ", got \"" + text + "\"";
            return {};
        },
        "");
}

std::vector<TimeMark> timesOf(std::string_view text)
{
    std::vector<TimeMark> times;
    for (const auto& item : commaSeparated(text))
        times.push_back(ParseTimeArgument(item).value_or(TimeMark {}));
    return times;
}

} // namespace

SplitCommand::SplitCommand(CLI::App& app, CliRequest& request, bool chapters)
    : m_request(request)
{
    if (chapters) {
        m_split = app.add_subcommand(
            "chapters", "Writes a copy of SOURCE whose ID3v2 chapters start at the cut points");
        m_split->add_option("SOURCE", m_request.source, "The MP3 file")
            ->required()
            ->type_name("FILE");
        addSources(true);
        addSilenceOptions();
        addChapterOutput();
        return;
    }
    m_split = app.add_subcommand(
        "split", "Cuts exactly at cut points, CUE tracks, chapters, silences or chunks");
    m_split->add_option("SOURCE", m_request.sources, "MP3 files (folders with --recursive)")
        ->required()
        ->type_name("FILE");
    addSources(false);
    addSilenceOptions();
    addOutputOptions();
    m_split->footer(
        "Pieces are exact cuts: gapless, sample-exact, tagged with their number, and the title, "
        "performer and album where the sheet or chapter gives them.\n"
        "Names (-o): @f source name, @n number (zero-padded), @N count, @t title, @p performer, "
        "@a album, @s start as mm.ss; '/' makes folders; \".mp3\" is added. Default: \"@n - @t\" "
        "when every piece has a title, else \"@f_@n\".\n"
        "Examples:\n"
        "  parvex-cli split mix.mp3 --at 3:20,7:45.5,1:02:03.25\n"
        "  parvex-cli split album.mp3 --cue album.cue -o \"@p/@a/@n - @t\"\n"
        "  parvex-cli split book.mp3 --chunk 20:00 --pretend\n"
        "  parvex-cli split rips/ --recursive --silence --threshold -45 -d pieces");
}

void SplitCommand::addChapterOutput()
{
    m_split->add_option("-o,--output", m_request.output, "The copy to write")
        ->required()
        ->type_name("FILE");
    m_split->add_flag("-y,--yes", m_request.assumeYes, "Replace OUTPUT");
    m_split->footer(
        "Chapters start and end where split would cut (gapless time, to the "
        "millisecond), titled from the sheet or \"Chapter n\"; the audio is copied "
        "byte for byte and the other tag frames are kept.\n"
        "Example:\n"
        "  parvex-cli chapters talk.mp3 --silence --min-silence 2 -o talk-chapters.mp3");
}

void SplitCommand::addSources(bool chapters)
{
    auto* marks = m_split->add_option_group("marks", "Where to cut (one of)");
    m_at = marks->add_option("--at", m_atText, "Cut points in the source's time, e.g. 3:20,7:45.5")
               ->type_name("TIMES")
               ->check(timesValidator(100000));
    m_cue = marks->add_option("--cue", m_request.cueSheet, "One piece per TRACK of a CUE sheet")
                ->type_name("SHEET");
    if (!chapters)
        m_chapters = marks->add_flag(
            "--chapters", m_chaptersFlag, "One piece per ID3v2 chapter of the source");
    m_silence = marks->add_flag("--silence", m_silenceFlag, "One cut inside each silence");
    m_chunk = marks
                  ->add_option("--chunk", m_chunkText,
                      "Pieces of about DESIRED, cut in the first silence between DESIRED and MAX "
                      "(default 1.25 x DESIRED) after the previous cut")
                  ->type_name("DESIRED[,MAX]")
                  ->check(timesValidator(2));
    marks->require_option(1);
    m_split->add_flag(
        "--pregap", m_request.pregap, "With --cue: cut at INDEX 00 where a track has one");
    m_split
        ->add_option("--cue-encoding", m_request.cueEncoding,
            "With --cue: the sheet's text encoding (default: UTF-8 or UTF-16 by their marks, else "
            "Windows-1252)")
        ->type_name("NAME");
}

void SplitCommand::addSilenceOptions()
{
    SilenceSettings& silence = m_request.silence;
    m_split
        ->add_option("--threshold", silence.thresholdDb,
            "Silent below this level, in dB (RMS over 10 ms on every channel; default -40)")
        ->type_name("DB")
        ->check(between(-120, 0, "a level from -120 to 0 dB"));
    m_split
        ->add_option("--min-silence", silence.minSeconds,
            "The shortest silence that counts, in seconds (default 1.0)")
        ->type_name("SECONDS")
        ->check(between(0.01, 3600, "seconds from 0.01 to 3600"));
    m_split
        ->add_option("--cut-at", silence.cutAt,
            "Where in a silence to cut: 0 its start, 1 its end (default 0.5)")
        ->type_name("FRACTION")
        ->check(between(0, 1, "a fraction from 0 to 1"));
    m_split->add_flag("--trim", silence.trim, "Also drop each piece's silence at both ends");
    m_split
        ->add_option("--keep", silence.keepSeconds,
            "With --trim: the silence kept at each end, in seconds (default 0.25)")
        ->type_name("SECONDS")
        ->check(between(0, 60, "seconds from 0 to 60"));
}

void SplitCommand::addOutputOptions()
{
    m_split
        ->add_option("-d,--folder", m_request.folder,
            "Where to write the pieces (default: beside each source)")
        ->type_name("FOLDER");
    m_split->add_option("-o,--output", m_request.nameTemplate, "How to name the pieces")
        ->type_name("TEMPLATE");
    m_split->add_flag("-y,--yes", m_request.assumeYes, "Replace existing pieces");
    m_split->add_flag("--pretend", m_request.pretend, "Print the plan and write nothing");
    m_split->add_option("--export-cue", m_request.exportCue, "Also write the plan as a CUE sheet")
        ->type_name("SHEET");
    m_split->add_flag("-r,--recursive", m_request.recursive, "Take the MP3 files in folders too");
}

void SplitCommand::finish(CliRequest& request) const
{
    request.exact = true;
    if (m_at->count() > 0) {
        request.marks = MarkSource::At;
        request.cutPoints = timesOf(m_atText);
    } else if (m_cue->count() > 0) {
        request.marks = MarkSource::Cue;
    } else if (m_chapters && m_chapters->count() > 0) {
        request.marks = MarkSource::Chapters;
    } else if (m_silence->count() > 0) {
        request.marks = MarkSource::Silence;
    } else {
        request.marks = MarkSource::Chunk;
        const auto lengths = timesOf(m_chunkText);
        request.chunkLength = lengths.front();
        if (lengths.size() > 1)
            request.chunkMaximum = lengths[1];
    }
}

} // namespace parvex
